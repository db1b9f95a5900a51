#include "app/pictures.h"

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/refusal.h"

int Pictures::elsewhere() const {
  if (hand_over) return hand_over();
  return refuse(pictures_left_out(), kExitUsage);
}

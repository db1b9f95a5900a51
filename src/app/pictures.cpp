#include "app/pictures.h"

#include <iostream>

#include "app/commands.h"
#include "app/exit_status.h"

int Pictures::elsewhere() const {
  if (hand_over) return hand_over();
  std::cerr << "scenario: error: " << pictures_left_out() << "\n";
  return kExitUsage;
}

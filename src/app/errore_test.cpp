#include "app/errore.h"

#include <gtest/gtest.h>

namespace {

TEST(Errore, MessageIsTheWordsThenTheNumberAndNothingElse) {
  EXPECT_EQ(errore_message("1250"), " Errore n. 1250");
  EXPECT_EQ(errore_message("1251"), " Errore n. 1251");
}

TEST(Errore, EndsTheProgramWithANonZeroStatusAfterTheMessage) {
  // Without a display the message goes to standard error.
  EXPECT_EXIT(
      {
#ifdef _WIN32
        _putenv("DISPLAY=");  // (a Windows desktop is no variable: the emulated test runs without one)
#else
        unsetenv("DISPLAY");
#endif
        errore("1251");
      },
      ::testing::ExitedWithCode(1), "^ Errore n\\. 1251\n$");
}

}  // namespace

// Window tests run in process, without a display, one application object for
// the whole program.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "forms/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  forms::Application application(argv[0]);
  return RUN_ALL_TESTS();
}

// Window tests on Qt run in process, without a display, one application
// object for the whole program, on a machine of their own: a main window
// watches the machine's power events.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "forms/application.h"
#include "tests/simulator/temp_root.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  TempMachineRoot machine;
  forms::Application application(argv[0]);
  return RUN_ALL_TESTS();
}

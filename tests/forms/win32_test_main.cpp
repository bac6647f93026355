// Window tests on Win32 run in process, one application object for the whole
// program; under Wine the prefix's display is the null driver.
#include <gtest/gtest.h>

#include "forms/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  forms::Application application(argv[0]);
  return RUN_ALL_TESTS();
}

// The end-to-end tests run in the prefix of the simulated workstation, beside
// the program they start; MSAA needs the thread's COM.
#include <objbase.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}

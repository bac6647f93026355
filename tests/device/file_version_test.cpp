// File versions packed from the version information of a module.
#include "device/file_version.h"

#include <gtest/gtest.h>

#include "tests/platform/scoped_machine_root.h"

namespace {

TEST(FileVersion, PacksFourPartsIntoBytes) {
  ScopedMachineRoot root;
  EXPECT_EQ(FileVersion("TestModuleComplete.dll"), 0x01000300u);
  // 258.0.19041.511: a part above 255 keeps only its low byte.
  EXPECT_EQ(FileVersion("TestModuleFailingCreate.dll"), 0x020061FFu);
  EXPECT_EQ(FileVersion("TestModuleNoCreate.dll"), 0u);
  EXPECT_EQ(FileVersion("TestModuleAbsent.dll"), 0u);
}

}  // namespace

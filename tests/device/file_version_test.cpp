// File versions packed from the version block of a file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "device/file_version.h"
#include "platform/win32.h"

namespace {

class FileVersionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-version-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // A file of some bytes, then a version block of a.b.c.d when `withBlock`.
  std::string Write(const char* name, bool withBlock, WORD a = 0, WORD b = 0, WORD c = 0, WORD d = 0) {
    const std::string path = (folder_ / name).string();
    std::ofstream out(path, std::ios::binary);
    out << "module bytes before the block";
    if (withBlock) {
      VS_FIXEDFILEINFO info{};
      info.dwSignature = VS_FFI_SIGNATURE;
      info.dwStrucVersion = VS_FFI_STRUCVERSION;
      info.dwFileVersionMS = static_cast<DWORD>(a) << 16 | b;
      info.dwFileVersionLS = static_cast<DWORD>(c) << 16 | d;
      out.write(reinterpret_cast<const char*>(&info), sizeof info);
    }
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(FileVersionTest, PacksFourPartsIntoBytes) {
  EXPECT_EQ(FileVersion(Write("plain.dll", false).c_str()), 0u);
  EXPECT_EQ(FileVersion((folder_ / "absent.dll").c_str()), 0u);
  EXPECT_EQ(FileVersion(Write("v1030.dll", true, 1, 0, 3, 0).c_str()), 0x01000300u);
  EXPECT_EQ(FileVersion(Write("v4321.dll", true, 4, 3, 2, 1).c_str()), 0x04030201u);
  // A part above 255 keeps only its low byte.
  EXPECT_EQ(FileVersion(Write("big.dll", true, 0x0102, 0, 19041, 0x01FF).c_str()), 0x020061FFu);
}

}  // namespace

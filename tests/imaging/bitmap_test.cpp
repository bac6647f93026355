// BMP files written by Bitmap: layout, readability, and no half-written files.
#include "imaging/bitmap.h"
#include "imaging/whole_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Qt's reader and the file-size limit are Linux tools.
#ifndef _WIN32
#include <dlfcn.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#endif

namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; path_.empty(); ++attempt) {
      const fs::path candidate =
          fs::temp_directory_path() / ("imaging-test-" + std::to_string(stamp) + "-" + std::to_string(attempt));
      if (fs::create_directory(candidate)) path_ = candidate;
    }
  }
  ~TempDir() { fs::remove_all(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const char* name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

std::vector<uint8_t> Pattern(int width, int height) {
  std::vector<uint8_t> image(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(x * 7 + y * 13);
  }
  return image;
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void ExpectBmpOf(const std::vector<uint8_t>& file, int width, int height, const std::vector<uint8_t>& image) {
  const size_t row = (static_cast<size_t>(width) + 3) / 4 * 4;
  ASSERT_EQ(file.size(), row * height + 1078);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Le32(file, 2), file.size());
  EXPECT_EQ(Le32(file, 6), 0u);
  EXPECT_EQ(Le32(file, 10), 1078u);
  EXPECT_EQ(Le32(file, 14), 40u);
  EXPECT_EQ(Le32(file, 18), static_cast<uint32_t>(width));
  EXPECT_EQ(Le32(file, 22), static_cast<uint32_t>(height));
  EXPECT_EQ(Le16(file, 26), 1);
  EXPECT_EQ(Le16(file, 28), 8);
  for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(Le32(file, at), 0u) << "header offset " << at;
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(Le32(file, 54 + 4 * i), i * 0x010101u) << "color " << i;
  for (int k = 0; k < height; ++k) {
    const uint8_t* stored = file.data() + 1078 + row * k;
    const uint8_t* source = image.data() + static_cast<size_t>(height - 1 - k) * width;
    ASSERT_TRUE(std::equal(source, source + width, stored)) << "file row " << k;
    for (size_t pad = width; pad < row; ++pad) ASSERT_EQ(stored[pad], 0) << "file row " << k;
  }
}

struct Size {
  int width;
  int height;
  size_t fileSize;
};

class BmpLayout : public testing::TestWithParam<Size> {};

TEST_P(BmpLayout, RowsArePaddedAndStoredBottomUp) {
  const Size size = GetParam();
  TempDir dir;
  const auto image = Pattern(size.width, size.height);
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.WriteBmp(size.width, size.height, image.data(), (dir / "image.bmp").c_str()));
  const auto file = ReadFile(dir / "image.bmp");
  EXPECT_EQ(file.size(), size.fileSize);
  ExpectBmpOf(file, size.width, size.height, image);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"image.bmp"});
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpLayout,
                         testing::Values(Size{258, 336, 88438}, Size{260, 300, 79078}, Size{1, 1, 1082}),
                         [](const testing::TestParamInfo<Size>& info) {
                           return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

#ifndef _WIN32
TEST(Bitmap, FileReadsBackPixelForPixel) {
  TempDir dir;
  const auto image = Pattern(258, 336);
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.WriteBmp(258, 336, image.data(), (dir / "read.bmp").c_str()));
  const QImage read(QString::fromStdString(dir / "read.bmp"));
  ASSERT_FALSE(read.isNull());
  ASSERT_EQ(read.width(), 258);
  ASSERT_EQ(read.height(), 336);
  for (int y = 0; y < 336; ++y) {
    for (int x = 0; x < 258; ++x) {
      const QRgb pixel = read.pixel(x, y);
      const int level = image[static_cast<size_t>(y) * 258 + x];
      ASSERT_EQ(qRed(pixel), level) << x << "," << y;
      ASSERT_EQ(qGreen(pixel), level) << x << "," << y;
      ASSERT_EQ(qBlue(pixel), level) << x << "," << y;
    }
  }
}
#endif

TEST(Bitmap, LaterImageOfAnotherSizeReplacesTheFile) {
  TempDir dir;
  const std::string name = dir / "again.bmp";
  Bitmap bitmap;
  const auto first = Pattern(258, 336);
  ASSERT_TRUE(bitmap.WriteBmp(258, 336, first.data(), name.c_str()));
  const auto second = Pattern(99, 7);
  ASSERT_TRUE(bitmap.WriteBmp(99, 7, second.data(), name.c_str()));
  ExpectBmpOf(ReadFile(name), 99, 7, second);
  ASSERT_TRUE(bitmap.Save((dir / "copy.bmp").c_str()));
  ExpectBmpOf(ReadFile(dir / "copy.bmp"), 99, 7, second);
}

TEST(Bitmap, RefusesBadInputAndKeepsTheStoredImage) {
  TempDir dir;
  const std::string path = dir / "x.bmp";
  const auto image = Pattern(8, 8);
  Bitmap bitmap;
  EXPECT_FALSE(bitmap.Save(path.c_str()));
  EXPECT_FALSE(bitmap.WriteBmp(8, 8, nullptr, path.c_str()));
  EXPECT_FALSE(bitmap.WriteBmp(0, 8, image.data(), path.c_str()));
  EXPECT_FALSE(bitmap.WriteBmp(8, -1, image.data(), path.c_str()));
  // Larger than the 32-bit size fields of the file can describe.
  EXPECT_FALSE(bitmap.WriteBmp(70000, 70000, image.data(), path.c_str()));
  EXPECT_TRUE(dir.Names().empty());

  ASSERT_TRUE(bitmap.WriteBmp(8, 8, image.data(), path.c_str()));
  EXPECT_FALSE(bitmap.WriteBmp(8, 8, image.data(), nullptr));
  EXPECT_FALSE(bitmap.Save(""));
  EXPECT_FALSE(bitmap.WriteBmp(0, 0, image.data(), path.c_str()));
  ASSERT_TRUE(bitmap.Save((dir / "y.bmp").c_str()));
  ExpectBmpOf(ReadFile(dir / "y.bmp"), 8, 8, image);
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A read-only file is refused as on Windows, where the attribute holds for
// every user: its permission bits decide, not the right of this (root) user.
TEST(Bitmap, UnwritablePathFailsAndLeavesNothing) {
  TempDir dir;
  const auto image = Pattern(16, 16);
  Bitmap bitmap;
  EXPECT_FALSE(bitmap.WriteBmp(16, 16, image.data(), (dir / "missing/x.bmp").c_str()));
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(bitmap.WriteBmp(16, 16, image.data(), (dir / "folder").c_str()));
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  std::ofstream(dir / "read-only.bmp") << "kept";
  fs::permissions(dir / "read-only.bmp", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(bitmap.WriteBmp(16, 16, image.data(), (dir / "read-only.bmp").c_str()));
  EXPECT_EQ(Text(ReadFile(dir / "read-only.bmp")), "kept");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"folder", "read-only.bmp"}));
  // Windows removes no read-only file, not even with its folder.
  fs::permissions(dir / "read-only.bmp", fs::perms::owner_write, fs::perm_options::add);
}

// Modes, links and the killed saves below are POSIX file-system matters.
#ifndef _WIN32
// A replaced file keeps its permissions; a link stays a link, and the file it
// leads to (existing or not) is written in its own folder; the longest name
// the system takes still saves.
TEST(Bitmap, ReplacingKeepsModesAndLinksAndTakesTheLongestName) {
  TempDir dir;
  const auto image = Pattern(16, 16);
  Bitmap bitmap;
  std::ofstream(dir / "private.bmp") << "old";
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir / "private.bmp", mode);
  ASSERT_TRUE(bitmap.WriteBmp(16, 16, image.data(), (dir / "private.bmp").c_str()));
  EXPECT_EQ(fs::status(dir / "private.bmp").permissions(), mode);
  ExpectBmpOf(ReadFile(dir / "private.bmp"), 16, 16, image);

  fs::create_directory(dir / "real");
  std::ofstream(dir / "real/old.bmp") << "old";
  fs::create_symlink("real/old.bmp", dir / "old-link.bmp");
  fs::create_symlink("real/new.bmp", dir / "new-link.bmp");
  for (const char* link : {"old-link.bmp", "new-link.bmp"}) {
    SCOPED_TRACE(link);
    ASSERT_TRUE(bitmap.WriteBmp(16, 16, image.data(), (dir / link).c_str()));
    EXPECT_TRUE(fs::is_symlink(dir / link));
    ExpectBmpOf(ReadFile(dir / link), 16, 16, image);
  }
  const std::vector<std::string> real = {"new.bmp", "old.bmp"};
  std::vector<std::string> inReal;
  for (const auto& entry : fs::directory_iterator(dir / "real")) inReal.push_back(entry.path().filename().string());
  std::sort(inReal.begin(), inReal.end());
  EXPECT_EQ(inReal, real);

  const std::string longest = std::string(251, 'n') + ".bmp";
  ASSERT_TRUE(bitmap.WriteBmp(16, 16, image.data(), (dir / longest.c_str()).c_str()));
  ExpectBmpOf(ReadFile(dir / longest.c_str()), 16, 16, image);
  EXPECT_EQ(dir.Names().size(), 5u);
}

enum class AtTheLimit { Fails, IsKilled };

// Runs WriteBmp in a child process whose files may not grow past `limit` bytes,
// so that the write fails partway, or the save is killed there. Returns
// WriteBmp's result.
bool WriteBmpWithFileLimit(const fs::path& path, rlim_t limit, AtTheLimit atTheLimit = AtTheLimit::Fails) {
  const auto image = Pattern(300, 400);
  const pid_t child = ::fork();
  if (child == 0) {
    // Ignored, an overlong write fails instead of killing.
    if (atTheLimit == AtTheLimit::Fails) ::signal(SIGXFSZ, SIG_IGN);
    const rlimit files{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &files) != 0) ::_exit(2);
    Bitmap bitmap;
    ::_exit(bitmap.WriteBmp(300, 400, image.data(), path.c_str()) ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (atTheLimit == AtTheLimit::IsKilled) {
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    return false;
  }
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 2) << "setrlimit failed";
  return WEXITSTATUS(status) == 1;
}

TEST(Bitmap, WriteFailingMidwayReportsFailureAndLeavesNoPartialFile) {
  TempDir dir;
  EXPECT_FALSE(WriteBmpWithFileLimit(dir / "new.bmp", 4096));
  EXPECT_TRUE(dir.Names().empty());

  const std::string earlier = "an earlier picture";
  std::ofstream(dir / "old.bmp") << earlier;
  EXPECT_FALSE(WriteBmpWithFileLimit(dir / "old.bmp", 4096));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"old.bmp"});
  const auto kept = ReadFile(dir / "old.bmp");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), earlier);

  EXPECT_TRUE(WriteBmpWithFileLimit(dir / "old.bmp", 1 << 20));
  EXPECT_EQ(ReadFile(dir / "old.bmp").size(), 300u * 400u + 1078u);
}

// Saves killed partway leave their temporaries; the next save of the same file
// removes those left long enough ago, and no other.
TEST(Bitmap, ASaveRemovesStaleTemporariesOfItsFile) {
  TempDir dir;
  const auto killedSave = [&](const char* name, std::chrono::minutes age) {
    const std::vector<std::string> before = dir.Names();
    WriteBmpWithFileLimit(dir / name, 4096, AtTheLimit::IsKilled);
    std::vector<std::string> left = dir.Names();
    EXPECT_EQ(left.size(), before.size() + 1) << name;
    for (const std::string& file : left) {
      if (std::find(before.begin(), before.end(), file) != before.end()) continue;
      fs::last_write_time(dir / file.c_str(), fs::file_time_type::clock::now() - age);
      return file;
    }
    return std::string();
  };
  const std::string young = killedSave("print.bmp", std::chrono::minutes(0));
  const std::string ofAnother = killedSave("other.bmp", std::chrono::minutes(5));
  const std::string stale = killedSave("print.bmp", std::chrono::minutes(5));
  ASSERT_TRUE(WriteBmpWithFileLimit(dir / "print.bmp", 1 << 20));
  std::vector<std::string> expected = {"print.bmp", ofAnother, young};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Names(), expected) << stale << " should be gone";
}

// The flushes and renames of the file system, as the test program asks them,
// while a test records them.
std::vector<std::string>* fileCalls = nullptr;

std::string PathOf(int descriptor) {
  std::error_code error;
  return fs::read_symlink("/proc/self/fd/" + std::to_string(descriptor), error).string();
}

// The bytes are on the disk before the rename puts them in place, and the
// rename is on the disk before the save reports it: a power loss leaves the
// old file or the new one, never an empty one.
TEST(Bitmap, ASaveFlushesTheFileBeforeItsRenameAndTheFolderAfter) {
  TempDir dir;
  const fs::path target = fs::canonical(fs::path(dir / "print.raw").parent_path()) / "print.raw";
  std::vector<std::string> calls;
  fileCalls = &calls;
  const bool saved = imaging::WriteWholeFile(target.c_str(), "gray", 4);
  fileCalls = nullptr;
  ASSERT_TRUE(saved);
  ASSERT_EQ(calls.size(), 3u);
  const std::string temporary = calls[0].substr(calls[0].find(' ') + 1);
  EXPECT_EQ(fs::path(temporary).parent_path(), target.parent_path());
  EXPECT_EQ(calls[0], "fsync " + temporary);
  EXPECT_EQ(calls[1], "rename " + temporary + " " + target.string());
  EXPECT_EQ(calls[2], "fsync " + target.parent_path().string());
}
#endif

}  // namespace

#ifndef _WIN32
extern "C" int fsync(int descriptor) {
  static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
  if (fileCalls) fileCalls->push_back("fsync " + PathOf(descriptor));
  return real(descriptor);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
  if (fileCalls) fileCalls->push_back(std::string("rename ") + from + " " + to);
  return real(from, to);
}
#endif

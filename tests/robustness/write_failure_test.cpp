// Saving when the file cannot be written: a folder that takes no files and a
// disk that fills up halfway (a file-size limit on the process). The status
// bar says "File Write Error! ", nothing partial is left beside the target,
// and a file that was there before keeps its content.
#include <QDir>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <unistd.h>

#include "tests/app/machine_form.h"

namespace {

namespace fs = std::filesystem;

std::string FileContent(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// While it lives, a file may not grow beyond `bytes` and going past that fails
// the write (EFBIG) instead of ending the process, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

class WriteFailureTest : public MachineFormTest {
 protected:
  void SetUp() override {
    MachineFormTest::SetUp();
    ASSERT_TRUE(folder_.isValid());
    Plug("HMX06", 0);
    Initialized(0);
    ASSERT_TRUE(form_->CaptureOnce());
  }

  // Runs each save command with `path` as the dialog's answer; counts the
  // commands that reported "File Write Error! ".
  int SaveAllTo(const std::string& path) {
    int failed = 0;
    for (void (TForm1::*command)() : {&TForm1::SaveToBMPFile1Click, &TForm1::SaveToRawFile1Click,
                                      &TForm1::MenuitemSaveLogsClick}) {
      form_->Dialogs.nextFileNames.push_back(path);
      (form_.get()->*command)();
      failed += Status() == "File Write Error! ";
    }
    return failed;
  }

  fs::path Folder() const { return fs::path(folder_.path().toStdString()); }

  QTemporaryDir folder_;
};

TEST_F(WriteFailureTest, AFolderThatTakesNoFilesGivesTheWriteError) {
  // No one, not even the superuser, creates files in /proc.
  int saves = 3;
  int reported = SaveAllTo("/proc/tolvane-print.bmp");
  // A folder without write permission stops everyone but the superuser.
  if (geteuid() != 0) {
    const fs::path readOnly = Folder() / "read-only";
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    saves += 3;
    reported += SaveAllTo((readOnly / "print.bmp").string());
    EXPECT_TRUE(fs::is_empty(readOnly));
    fs::permissions(readOnly, fs::perms::owner_all);
  }
  EXPECT_EQ(reported, saves);
  std::printf("write failures: %d saves into folders that take no files, %d reported \"File Write Error! \"\n",
              saves, reported);
}

TEST_F(WriteFailureTest, AFullDiskLeavesTheOldFileAndNothingElse) {
  const fs::path target = Folder() / "print.bmp";
  { std::ofstream(target, std::ios::binary) << "the old file"; }
  int failed = 0;
  {
    FileSizeLimit limit(64);
    failed = SaveAllTo(target.string());
  }
  EXPECT_EQ(failed, 3);
  EXPECT_EQ(FileContent(target), "the old file");
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), {}), 1);

  // With room again, the same commands write whole files.
  EXPECT_EQ(SaveAllTo(target.string()), 0);
  EXPECT_TRUE(Status().starts_with("Successfully saved to "));
  std::printf("write failures: 3 saves onto a full disk, %d reported \"File Write Error! \", old file intact, "
              "0 partial files\n", failed);
}

}  // namespace

// Saving the current image and the reader's log: what the dialog proposes,
// what the file holds and what the status bar says, including failed writes.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "open_reader_fixture.h"
#include "tests/forms/temp_folder.h"

namespace {

using SavingTest = OpenReaderTest;

std::string FileContent(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class SavingToFolderTest : public SavingTest {
 protected:
  // A path in the test's own folder, as the dialog would answer it.
  std::string Answer(const char* name) {
    const std::string path = Path(name).string();
    form_->Dialogs.nextFileNames.push_back(path);
    return path;
  }
  std::filesystem::path Path(const char* name) const {
    return folder_.Path() / name;
  }

  TempFolder folder_;
};

TEST_F(SavingToFolderTest, RawFileHoldsTheImageTopRowFirstWithTheDefaultExtension) {
  OpenScriptedReader(kReaderHmx03, 260, 300);
  for (int x = 0; x < 260; ++x) form_->ImageBuffer[x] = static_cast<uint8_t>(x);
  ImageAvailable = 1;
  Answer("print");
  form_->SaveToRawFile1Click();

  const TFileDialog& dialog = form_->SaveDialog1;
  EXPECT_EQ(dialog.Title, "Save fingerprint image to RAW format");
  EXPECT_EQ(dialog.Filter, "Raw format (*.raw)|*.raw|All files (*.*)|*.*");
  const std::string content = FileContent(Path("print.raw"));
  ASSERT_EQ(content.size(), 78000u);
  for (int x = 0; x < 260; ++x) ASSERT_EQ(static_cast<uint8_t>(content[x]), static_cast<uint8_t>(x));
  EXPECT_EQ(StatusText(), "Successfully saved to " + Path("print.raw").string());
}

TEST_F(SavingToFolderTest, BmpIsRefusedUntilACaptureAndAgainAfterRefresh) {
  form_->SaveToBMPFile1Click();  // no Init yet: silent
  EXPECT_EQ(StatusText(), "Click init button to initialize device");

  OpenScriptedReader(kReaderHmx03);
  form_->SaveToBMPFile1Click();
  EXPECT_EQ(StatusText(), "Error! No fingerprint image to save");
  EXPECT_EQ(form_->Dialogs.fileDialogsShown, 0);

  ASSERT_TRUE(form_->CaptureOnce());
  Answer("print");
  form_->SaveToBMPFile1Click();
  EXPECT_EQ(form_->SaveDialog1.Filter, "Bmp files (*.bmp)|*.bmp|All files (*.*)|*.*");
  EXPECT_EQ(form_->SaveDialog1.Title, "Save fingerprint image to BMP format");
  EXPECT_EQ(FileContent(Path("print.bmp")).substr(0, 2), "BM");

  form_->BtnEnumClick();
  form_->SaveToRawFile1Click();
  EXPECT_EQ(StatusText(), "Error! No fingerprint image to save");
}

TEST_F(SavingToFolderTest, LogsNeedAReaderAndProposeItsSerial) {
  form_->MenuitemSaveLogsClick();
  EXPECT_EQ(StatusText(), "Error! Device is not initialized.");

  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx05));
  ASSERT_TRUE(form_->CaptureOnce());
  Answer("reader");
  form_->MenuitemSaveLogsClick();
  EXPECT_EQ(form_->SaveDialog1.FileName, Path("reader.log").string().c_str());
  const std::string log = FileContent(Path("reader.log"));
  EXPECT_FALSE(log.empty());
  EXPECT_NE(log.find("\r\n"), std::string::npos);

  form_->Dialogs.nextFileNames.push_back(std::nullopt);
  form_->MenuitemSaveLogsClick();
  EXPECT_EQ(form_->Dialogs.fileDialogsShown, 2);
  EXPECT_EQ(form_->SaveDialog1.FileName, reader_.serial.substr(0, 15));
}

// The scripted reader reports a log of zero bytes; its serial is empty.
TEST_F(SavingToFolderTest, EmptyLogIsSavedAsAnEmptyFileUnderAnEmptyProposal) {
  OpenScriptedReader(kReaderHmx03);
  form_->Dialogs.nextFileNames.push_back(std::nullopt);
  form_->MenuitemSaveLogsClick();
  EXPECT_EQ(form_->SaveDialog1.FileName, "");
  EXPECT_EQ(form_->SaveDialog1.Title, "Save Logs");
  EXPECT_EQ(form_->SaveDialog1.Filter, "Log format (*.log)|*.log|All files (*.*)|*.*");

  Answer("empty");
  form_->MenuitemSaveLogsClick();
  EXPECT_TRUE(std::filesystem::exists(Path("empty.log")));
  EXPECT_EQ(std::filesystem::file_size(Path("empty.log")), 0u);
  EXPECT_TRUE(StatusText().starts_with("Successfully saved to "));
  // The log is fetched before the dialog opens: size, then the log.
  EXPECT_EQ(scripted_.CountOf("Control"), 4);
}

// A broken size answer must not make the window set aside gigabytes.
TEST_F(SavingToFolderTest, AnAbsurdLogSizeIsRefusedBeforeAnyDialog) {
  OpenScriptedReader(kReaderHmx03);
  scripted_.logSize = 0xFFFFFFFFu;
  form_->MenuitemSaveLogsClick();
  EXPECT_EQ(StatusText(), "Error! Not enough memory for the device log.");
  EXPECT_EQ(form_->Dialogs.fileDialogsShown, 0);
  EXPECT_EQ(scripted_.CountOf("Control"), 1);  // the size only, never the log
}

// Failures that hold for any user: a name taken by a folder cannot be
// replaced, a folder that does not exist cannot take a file, and a read-only
// file is not replaced.
TEST_F(SavingToFolderTest, FailedWriteLeavesNothingAndWhatWasThereIntact) {
  OpenScriptedReader(kReaderHmx03);
  ASSERT_TRUE(form_->CaptureOnce());
  std::filesystem::create_directory(Path("old.raw"));
  { std::ofstream(Path("old.raw") / "inside") << "old"; }
  Answer("old.raw");
  form_->SaveToRawFile1Click();
  EXPECT_EQ(StatusText(), "File Write Error! ");
  EXPECT_EQ(FileContent(Path("old.raw") / "inside"), "old");

  Answer("missing/new.bmp");
  form_->SaveToBMPFile1Click();
  EXPECT_EQ(StatusText(), "File Write Error! ");
  // Nothing but the folder that was there before.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("")), {}), 1);

  // A name too long for the system's path buffer is not written at all.
  Answer(std::string(300, 'a').c_str());
  form_->SaveToRawFile1Click();
  EXPECT_EQ(StatusText(), "File Write Error! ");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("")), {}), 1);

  // A read-only file is not the user's to replace.
  { std::ofstream(Path("read-only.bmp")) << "old"; }
  std::filesystem::permissions(Path("read-only.bmp"), std::filesystem::perms::owner_read);
  Answer("read-only.bmp");
  form_->SaveToBMPFile1Click();
  EXPECT_EQ(StatusText(), "File Write Error! ");
  EXPECT_EQ(FileContent(Path("read-only.bmp")), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("")), {}), 2);
}

}  // namespace

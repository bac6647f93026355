// Smart capture on the simulated R20, through the real Refresh and Init: the
// reader's own dialog switches it on, a capture brings its detail record, and
// the record the reader kept loads back as a ".scd" file.
#include <cstring>
#include <fstream>
#include <iterator>

#include "machine_form.h"

namespace {

class SmartCaptureReaderTest : public MachineFormTest {};

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST_F(SmartCaptureReaderTest, ConfigSwitchesSmartCaptureOnAndACaptureShowsItsRecordWhichLoadsBack) {
  const sim::Reader reader = Plug("HMX05", 0, [](sim::Reader& r) {
    r.configure.smart = true;
    r.configure.mode = 0;
  });
  TForm1& form = Initialized();
  ASSERT_NE(form.ScDetail, nullptr);
  EXPECT_FALSE(form.CheckBoxSmartCapture->Checked());

  form.BtnConfigClick();
  EXPECT_TRUE(form.CheckBoxSmartCapture->Checked());
  EXPECT_TRUE(form.CheckBoxShowSmartCaptureDetail->Checked());
  EXPECT_TRUE(form.ModeN1->Checked());
  EXPECT_TRUE(form.Recalibrate1->Enabled()) << "Config leaves Recalibrate as Init set it";
  EXPECT_EQ(Status(), "Ready");

  ASSERT_TRUE(form.CaptureOnce());
  EXPECT_EQ(form.LabelScVersion->Caption(), "3");
  EXPECT_EQ(form.LabelScErrorCode->Caption(), "0");
  const int captures = std::stoi(form.LabelScNumOfCaptures->Caption());
  EXPECT_GE(captures, 1);
  EXPECT_LE(captures, 3);
  EXPECT_EQ(form.ListBoxScBrightnesses->Count(), form.ScDetail->numOfBrightnesses);
  EXPECT_EQ(form.LabelImage1CaptureTime->Caption(), std::to_string(form.ScDetail->captureTimes[0]) + " ms");

  // The reader keeps its last record where the tool copies it from.
  const std::vector<uint8_t> kept = ReadFile(sim::CaptureDetailPath(reader));
  ASSERT_EQ(kept.size(), static_cast<size_t>(form.ScDetail->size));
  const std::string path = root_.filePath("kept.scd").toStdString();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(kept.data()), static_cast<std::streamsize>(kept.size()));
  form.Dialogs.nextFileNames.push_back(path);
  form.ButtonOpenSCDFileClick();

  SmartCaptureDetail header;
  std::memcpy(&header, kept.data(), sizeof header);
  const int n = header.numOfCaptures;
  const uint8_t* last = kept.data() + kSmartCaptureHeaderSize + static_cast<size_t>(n - 1) * header.imageBytes;
  const int gray = TForm1::ImageMean(last, header.width, header.height);
  EXPECT_EQ(Status(), "[Capture] time: " + std::to_string(header.captureTimes[n - 1]) + " msec  gray: " +
                          std::to_string(gray));
  EXPECT_EQ(0, std::memcmp(form.ImageBuffer.get(), last, static_cast<size_t>(form.ImageWidth) * form.ImageHeight));
  EXPECT_EQ(form.EditScdFilePath->Text(), path);
  EXPECT_TRUE(form.Dialogs.shownMessages.empty());
}

}  // namespace

// The "Smart Capture" page: the detail record as the reader hands it over,
// the brightness list, and ".scd" files loaded in its place.
#include <fstream>
#include <iterator>
#include <gmock/gmock.h>
#include <thread>

#include "scripted_form.h"
#include "tests/forms/temp_folder.h"

namespace {

using ::testing::Each;
using ::testing::AllOf;
using ::testing::IsEmpty;
using ::testing::Not;

class SmartCaptureTest : public ScriptedFormTest {
 protected:
  uint32_t ViewPixel(const forms::TDrawingArea* view) const { return CenterPixel(view); }
  uint32_t MainPixel() const { return CenterPixel(form_->Image1); }
  void Fetch(const RecordSpec& layout) {
    sensor_.record = MakeRecord(layout);
    form_->RefreshDetail();
  }
  std::vector<std::string> ListLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < form_->ListBoxScBrightnesses->Count(); ++i) {
      lines.push_back(form_->ListBoxScBrightnesses->Item(i));
    }
    return lines;
  }
  std::string WriteFile(const std::vector<uint8_t>& bytes) {
    const std::string path = (files_.Path() / "detail.scd").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  void OpenFile(const std::string& path) {
    form_->Dialogs.nextFileNames.push_back(path);
    form_->ButtonOpenSCDFileClick();
  }
  std::vector<uint8_t> RecordNow() const {
    const auto* bytes = reinterpret_cast<const uint8_t*>(form_->ScDetail.get());
    return {bytes, bytes + form_->ScDetail->size};
  }

  TempFolder files_;
};

TEST_F(SmartCaptureTest, TwoCapturesShowBothImagesTheirTimesAndTheEightLabels) {
  Fetch({.size = kRecordSize, .captures = 2});

  EXPECT_THAT(sensor_.detailSizesTold, Each(kRecordSize));
  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0x40));
  EXPECT_EQ(ViewPixel(form_->ImageScImageSplit), Gray(0x80));
  EXPECT_EQ(form_->LabelImage1CaptureTime->Caption(), "31 ms");
  EXPECT_EQ(form_->LabelImage2CaptureTime->Caption(), "32 ms");
  EXPECT_EQ(form_->LabelScVersion->Caption(), "3");
  EXPECT_EQ(form_->LabelScCaptureSpeed->Caption(), "123 ms");
  EXPECT_EQ(form_->LabelScInitBrightness->Caption(), "50");
  EXPECT_EQ(form_->LabelScSmartBrightness->Caption(), "44");
  EXPECT_EQ(form_->LabelScGrayQuality->Caption(), "77");
  EXPECT_EQ(form_->LabelScNumOfCaptures->Caption(), "2");
  EXPECT_EQ(form_->LabelScErrorCode->Caption(), "0");
  EXPECT_EQ(form_->LabelScLineDiffMax->Caption(), "9");
}

TEST_F(SmartCaptureTest, OneCaptureWhitensTheSplitViewAndItsTime) {
  Fetch({.size = kRecordSize, .captures = 2});
  Fetch({.size = kRecordSize, .captures = 1, .grays = {0x20}, .times = {15}});

  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0x20));
  EXPECT_EQ(ViewPixel(form_->ImageScImageSplit), Gray(0xFF));
  EXPECT_EQ(form_->LabelImage1CaptureTime->Caption(), "15 ms");
  EXPECT_EQ(form_->LabelImage2CaptureTime->Caption(), "0 ms");
  EXPECT_EQ(form_->LabelScNumOfCaptures->Caption(), "1");
}

TEST_F(SmartCaptureTest, NoCapturesOrAnErrorCodeUpdateOnlyTheEightLabels) {
  Fetch({.size = kRecordSize, .captures = 2});

  Fetch({.size = kRecordSize, .captures = 0, .grays = {0x10, 0x10}, .times = {1, 2}});
  EXPECT_EQ(form_->LabelScNumOfCaptures->Caption(), "0");
  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0x40));
  EXPECT_EQ(ViewPixel(form_->ImageScImageSplit), Gray(0x80));
  EXPECT_EQ(form_->LabelImage1CaptureTime->Caption(), "31 ms");

  Fetch({.size = kRecordSize, .captures = 2, .errorCode = 7, .grays = {0x10, 0x10}, .times = {1, 2}});
  EXPECT_EQ(form_->LabelScErrorCode->Caption(), "7");
  EXPECT_EQ(form_->LabelScNumOfCaptures->Caption(), "2");
  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0x40));
  EXPECT_EQ(ViewPixel(form_->ImageScImageSplit), Gray(0x80));
  EXPECT_EQ(form_->LabelImage2CaptureTime->Caption(), "32 ms");
}

TEST_F(SmartCaptureTest, BrightnessListHasOneLinePerBrightnessAndSelectsTheSixth) {
  sensor_.record = MakeRecord({.size = kRecordSize, .brightnesses = {}});
  form_->RefreshBrightnessList();
  EXPECT_EQ(form_->ListBoxScBrightnesses->Count(), 0);

  sensor_.record = MakeRecord({.size = kRecordSize, .brightnesses = {40, 45, 50}});
  form_->RefreshBrightnessList();
  EXPECT_EQ(ListLines(), (std::vector<std::string>{"[0] 40", "[1] 45", "[2] 50"}));
  EXPECT_EQ(form_->ListBoxScBrightnesses->ItemIndex(), -1);

  sensor_.record = MakeRecord({.size = kRecordSize, .brightnesses = {10, 20, 30, 40, 50, 60}});
  form_->RefreshBrightnessList();
  ASSERT_EQ(form_->ListBoxScBrightnesses->Count(), 6);
  ASSERT_EQ(form_->ListBoxScBrightnesses->ItemIndex(), 5);
  EXPECT_EQ(form_->ListBoxScBrightnesses->Item(5), "[5] 60");
}

TEST_F(SmartCaptureTest, ACountBeyondElevenBrightnessesListsElevenAndSaysSo) {
  RecordSpec layout{.size = kRecordSize};
  layout.brightnesses.assign(12, 33);
  sensor_.record = MakeRecord(layout);
  form_->RefreshBrightnessList();
  EXPECT_EQ(form_->ListBoxScBrightnesses->Count(), 11);
  EXPECT_EQ(Status(), "Smart capture detail not fully shown: only 11 of 12 brightnesses listed.");

  // A negative count is a huge one when read unsigned.
  reinterpret_cast<SmartCaptureDetail*>(sensor_.record.data())->numOfBrightnesses = -1;
  form_->RefreshBrightnessList();
  EXPECT_EQ(form_->ListBoxScBrightnesses->Count(), 11);
}

TEST_F(SmartCaptureTest, ImagesOutsideTheRecordAreRefusedWhileTheLabelsAreShown) {
  Fetch({.size = kRecordSize, .captures = 2});

  // Image 2's slot runs past the record's end: image 1 is still shown.
  Fetch({.size = kRecordSize, .captures = 2, .imageBytes = kRecordSize / 2, .grays = {0x30}});
  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0x30));
  EXPECT_EQ(ViewPixel(form_->ImageScImageSplit), Gray(0xFF));
  EXPECT_EQ(Status(), "Smart capture detail not fully shown: image 2 lies outside the record.");

  // Slots smaller than the reader's image, and negative ones, show nothing.
  Fetch({.size = kRecordSize, .captures = 1, .imageBytes = kWidth * kHeight - 1});
  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0xFF));
  EXPECT_EQ(Status(), "Smart capture detail not fully shown: image 1 is smaller than the reader's image.");
  Fetch({.size = kRecordSize, .captures = 1, .imageBytes = -5});
  EXPECT_EQ(form_->LabelScNumOfCaptures->Caption(), "1");
  EXPECT_EQ(Status(), "Smart capture detail not fully shown: image 1 has a negative size.");
}

TEST_F(SmartCaptureTest, ARecordSmallerThanItsHeaderShowsNothing) {
  AllocateRecord(static_cast<int32_t>(kSmartCaptureHeaderSize));
  form_->ScDetail->size = 64;  // the size a broken driver might report
  sensor_.record = MakeRecord({.size = kRecordSize});
  form_->RefreshDetail();
  EXPECT_THAT(sensor_.detailSizesTold, Each(64));
  EXPECT_EQ(form_->LabelScVersion->Caption(), "Unknown");
  EXPECT_EQ(Status(), "Smart capture detail not fully shown: the record is smaller than its header.");
}

TEST_F(SmartCaptureTest, AFetchOnTheCaptureThreadIsShownOnTheWindowThread) {
  sensor_.record = MakeRecord({.size = kRecordSize, .captures = 1, .times = {21}});
  std::thread capture([&] { form_->RefreshDetail(); });
  capture.join();
  EXPECT_EQ(form_->LabelImage1CaptureTime->Caption(), "0 ms");  // not yet: queued
  ASSERT_TRUE(ProcessEventsUntil([&] { return form_->LabelImage1CaptureTime->Caption() == "21 ms"; }));
  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0x40));
}

TEST_F(SmartCaptureTest, AFileOneByteLongerOrShorterIsRefusedAndChangesNothing) {
  const std::vector<uint8_t> before = RecordNow();
  for (const int32_t length : {kRecordSize + 1, kRecordSize - 1}) {
    OpenFile(WriteFile(MakeRecord({.size = length})));
    ASSERT_FALSE(form_->Dialogs.shownMessages.empty());
    const DialogSeam::Message& box = form_->Dialogs.shownMessages.back();
    EXPECT_EQ(box.text, "Not support this .scd file");
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_TRUE(box.owned);
  }
  EXPECT_EQ(form_->Dialogs.shownMessages.size(), 2u);
  EXPECT_EQ(RecordNow(), before);
  EXPECT_EQ(form_->LabelScVersion->Caption(), "Unknown");
  EXPECT_TRUE(form_->EditScdFilePath->Text().empty());
  EXPECT_EQ(ImageAvailable, 0);
}

TEST_F(SmartCaptureTest, ATwoImageFileBecomesTheCurrentImageAndIsShownOnThePage) {
  RecordSpec layout{.size = kRecordSize, .captures = 2, .grays = {0x40, 0x81}, .times = {31, 32}};
  std::vector<uint8_t> bytes = MakeRecord(layout);
  bytes[kSmartCaptureHeaderSize + kWidth * kHeight] = 0x7F;  // mean of image 2: one darker pixel
  const std::string path = WriteFile(bytes);
  OpenFile(path);

  EXPECT_EQ(form_->OpenDialog1.Title, "Open Smart Capture Detail File");
  EXPECT_EQ(form_->OpenDialog1.Filter, "SCD files (*.scd)|*.scd|All files (*.*)|*.*");
  EXPECT_EQ(form_->OpenDialog1.DefaultExt, "scd");
  EXPECT_TRUE(form_->Dialogs.shownMessages.empty());
  const int mean = (0x7F + 0x81 * (kWidth * kHeight - 1)) / (kWidth * kHeight);
  EXPECT_EQ(Status(), "[Capture] time: 32 msec  gray: " + std::to_string(mean));
  EXPECT_EQ(MainPixel(), Gray(0x81));
  EXPECT_EQ(ViewPixel(form_->ImageScImage), Gray(0x40));
  EXPECT_EQ(ViewPixel(form_->ImageScImageSplit), Gray(0x81));
  EXPECT_EQ(ListLines(), (std::vector<std::string>{"[0] 40", "[1] 45", "[2] 50"}));
  EXPECT_EQ(0, std::memcmp(form_->ImageBuffer.get(), bytes.data() + kSmartCaptureHeaderSize + kWidth * kHeight,
                           kWidth * kHeight));
  EXPECT_EQ(ImageAvailable, 1);
  EXPECT_EQ(form_->EditScdFilePath->Text(), path);

  // Saving as BMP writes the second image: bottom row first, rows padded to 4 bytes.
  const std::string bmp = (files_.Path() / "second.bmp").string();
  form_->Dialogs.nextFileNames.push_back(bmp);
  form_->SaveToBMPFile1Click();
  std::ifstream file(bmp, std::ios::binary);
  const std::vector<uint8_t> saved{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_GT(saved.size(), 14u);
  uint32_t pixelsAt = 0;
  std::memcpy(&pixelsAt, saved.data() + 10, sizeof pixelsAt);
  constexpr size_t kStride = (kWidth + 3) / 4 * 4;
  ASSERT_EQ(saved.size(), pixelsAt + kStride * kHeight);
  EXPECT_EQ(saved[pixelsAt], 0x81);                                // the last row's first pixel
  EXPECT_EQ(saved[pixelsAt + (kHeight - 1) * kStride], 0x7F);      // the first row's
}

TEST_F(SmartCaptureTest, ALoadedFileDoesNotChangeTheSizeTheDriverIsTold) {
  std::vector<uint8_t> bytes = MakeRecord({.size = kRecordSize});
  reinterpret_cast<SmartCaptureDetail*>(bytes.data())->size = 1 << 20;  // the file's own claim
  OpenFile(WriteFile(bytes));
  EXPECT_EQ(form_->ScDetail->size, kRecordSize);

  sensor_.record = MakeRecord({.size = kRecordSize});
  form_->RefreshDetail();
  EXPECT_THAT(sensor_.detailSizesTold, AllOf(Not(IsEmpty()), Each(kRecordSize)));
}

TEST_F(SmartCaptureTest, AFileWithTooManyImagesKeepsTheCurrentImageAndSaysWhy) {
  OpenFile(WriteFile(MakeRecord({.size = kRecordSize, .captures = 5})));
  EXPECT_EQ(Status(), "Last image of the .scd file not shown: 5 images in the record, 1 to 3 expected.");
  EXPECT_EQ(form_->ImageBuffer[0], 255);
  EXPECT_EQ(ImageAvailable, 0);
  EXPECT_EQ(form_->LabelScNumOfCaptures->Caption(), "5");  // the labels still show the file
  EXPECT_EQ(ViewPixel(form_->ImageScImageSplit), Gray(0x80));
}

TEST_F(SmartCaptureTest, AnImageSizeBeyondItsSlotShowsTheImageWithoutAGrayValue) {
  OpenFile(WriteFile(MakeRecord({.size = kRecordSize, .captures = 1, .width = kWidth + 1})));
  EXPECT_EQ(Status(), "Gray value of the .scd file's last image not shown: a 31 x 40 image does not fit 1200 bytes.");
  EXPECT_EQ(MainPixel(), Gray(0x40));
  EXPECT_EQ(form_->ImageBuffer[0], 0x40);
}

TEST_F(SmartCaptureTest, OpeningAFileWithoutARecordIsRefusedBeforeAnyDialog) {
  form_->ScDetail.reset();
  form_->ButtonOpenSCDFileClick();
  EXPECT_EQ(form_->Dialogs.fileDialogsShown, 0);
  ASSERT_EQ(form_->Dialogs.shownMessages.size(), 1u);
  EXPECT_EQ(form_->Dialogs.shownMessages[0].caption, "ERROR");
  EXPECT_EQ(form_->Dialogs.shownMessages[0].text,
            "No smart capture detail record: initialize an R20 reader first.");
}

}  // namespace

// Init on real simulated readers: what the reader is, the image views sized to
// it, and the controls that suit it.
#include <QRegion>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "machine_form.h"
#include "sim_command.h"
#include "tests/simulator/module_headers.h"

namespace {

class InitTest : public MachineFormTest {
 protected:
  static void InstallSmartCaptureModule(sim::FileVersionNumber version) {
    sim::InstallDriverFile("Qvhmx05m.dll", version);
  }
};

TEST_F(InitTest, BeforeTheFirstRefreshInitDoesNothing) {
  Plug("HMX05", 0);
  TForm1& form = Form();
  form.BtnInitClick();
  EXPECT_EQ(Status(), "Click init button to initialize device");
  EXPECT_EQ(form.Sensor, nullptr);
  EXPECT_FALSE(form.BtnCapture->Enabled());
}

TEST_F(InitTest, UsbReaderIdentityAndImageLayout) {
  Plug("HMX06", 0, [](sim::Reader& reader) {
    reader.productId = 0x2201;
    reader.release = 0x0102;
    reader.serial = "RPX0815";
  });
  TForm1& form = Initialized();
  EXPECT_EQ(Status(), "Device Initialization Success");
  EXPECT_EQ(form.EditUSBName->Text(), "RPx");
  EXPECT_EQ(form.EditUSBDevType->Text(), "Stand alone");
  EXPECT_EQ(form.EditFWVer->Text(), "0.1.0.2");
  EXPECT_EQ(form.EditSN->Text(), "RPX0815");
  EXPECT_TRUE(form.EditPPAddr->Text().empty());
  EXPECT_TRUE(form.GroupBoxUSB->Bold());
  EXPECT_FALSE(form.GroupBoxPP->Bold());

  // The HMX06 gives 272 x 352 images; the frame is centred on the page.
  EXPECT_EQ(form.ImageWidth, 272);
  EXPECT_EQ(form.ImageHeight, 352);
  EXPECT_EQ(SizeOf(form.Image1), (std::pair{272, 352}));
  EXPECT_EQ(SizeOf(form.bvlImgFrame), (std::pair{276, 356}));
  const int frameLeft = (form.TabImage->Width() - 276) / 2;
  EXPECT_EQ(form.bvlImgFrame->Left(), frameLeft);
  EXPECT_EQ(form.Image1->Left(), frameLeft + 1);
  EXPECT_EQ(form.Image1->Top(), form.bvlImgFrame->Top() + 1);
  EXPECT_EQ(form.AutoOnGroupBox->Left(), frameLeft);
  EXPECT_EQ(form.AutoOnGroupBox->Width(), 276);
  EXPECT_EQ(SizeOf(form.ImageScImage), (std::pair{272, 352}));
  EXPECT_EQ(SizeOf(form.BevelScImageFrame), (std::pair{276, 356}));
  EXPECT_EQ(form.ImageScImage->Left(), form.BevelScImageFrame->Left() + 1);
  EXPECT_EQ(form.ImageScImage->Top(), form.BevelScImageFrame->Top() + 1);
  EXPECT_EQ(SizeOf(form.ImageScImageSplit), (std::pair{272, 352}));
  EXPECT_EQ(SizeOf(form.BevelScImageSplitFrame), (std::pair{276, 356}));

  // Type 7: no smart-capture tuning, but auto capture and the switch.
  EXPECT_TRUE(form.BtnCapture->Enabled());
  EXPECT_TRUE(form.BtnContCapture->Enabled());
  EXPECT_TRUE(form.CheckBoxAutoCapture->Enabled());
  EXPECT_TRUE(form.CheckBoxSmartCapture->Enabled());
  EXPECT_FALSE(form.ScrollBarGainMax->Enabled());
  EXPECT_FALSE(form.CheckBoxShowSmartCaptureDetail->Enabled());
  EXPECT_EQ(form.ScDetail, nullptr);
}

// The R20's 300 x 400 image is painted white at Init; the next, smaller
// reader's frame is centred inside that area, and what it leaves uncovered is
// page again, on the screen, not the old white.
TEST_F(InitTest, ASmallerReaderAfterTheR20LeavesNoWhiteAroundItsFrame) {
  Plug("HMX05", 0);
  Plug("HMX06", 0);
  TForm1& form = Shown();
  Press(form.BtnEnum);
  auto initialize = [&](const char* name) {
    const std::vector<std::string> items = Items();
    const auto item = std::find_if(items.begin(), items.end(),
                                   [&](const std::string& text) { return text.find(name) != std::string::npos; });
    form.ComboDeviceID->SetItemIndex(static_cast<int>(item - items.begin()));
    Press(form.BtnInit);
    ASSERT_EQ(Status(), "Device Initialization Success");
  };
  initialize("HMX05");
  const QRect r20Frame = W(form.bvlImgFrame)->geometry();
  ASSERT_EQ(r20Frame.size(), QSize(304, 404));
  initialize("HMX06");
  const QRegion uncovered = QRegion(r20Frame).subtracted(W(form.bvlImgFrame)->geometry());
  ASSERT_FALSE(uncovered.isEmpty());

  const QRgb page = W(form.TabImage)->palette().color(W(form.TabImage)->backgroundRole()).rgb();
  auto stalePixels = [&] {
    const QImage screen = OnScreen(form.TabImage);
    int stale = 0;
    for (const QRect& part : uncovered) {
      for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) stale += screen.pixel(x, y) != page;
      }
    }
    return stale;
  };
  EXPECT_TRUE(ProcessEventsUntil([&] { return stalePixels() == 0; }))
      << stalePixels() << " pixels around the new frame are not the page's background";
  const QImage image = OnScreen(form.Image1);
  EXPECT_EQ(image.pixel(image.rect().center()), qRgb(255, 255, 255));
}

// Also a serial that is not read: the OMREL listed before it has one, but
// enumeration reads both through one channel, which must not lend it on.
TEST_F(InitTest, EmptySerialShowsNone) {
  SimCommand({"plug", "HMX04-0", "--serial", ""});
  Plug("OMREL", 0, [](sim::Reader& reader) { reader.release = 0x20; });
  Plug("OMREL", 1, [](sim::Reader& reader) { reader.release = 0x1F; });
  TForm1& form = Initialized();
  EXPECT_EQ(form.EditSN->Text(), "None");
  EXPECT_EQ(form.EditUSBName->Text(), "HMX04");
  Initialized(2);
  ASSERT_EQ(form.Devices[2].index, 1);
  EXPECT_EQ(form.EditSN->Text(), "None");
}

// A reader whose device information fails opens, but nothing may capture into
// a buffer of unknown size; the fault was for one call, so the next Init works.
TEST_F(InitTest, FailedDeviceInformationKeepsCaptureDisabledUntilAnInitWhereItWorks) {
  Plug("HMX05", 0);
  SimCommand({"fault", "HMX05-0", "--call", "info", "--status", "2"});
  TForm1& form = Initialized();
  EXPECT_EQ(Status(), "Device information unavailable: capture disabled");
  EXPECT_EQ(form.EditUSBName->Text(), "HMX05");
  EXPECT_FALSE(form.BtnCapture->Enabled());
  EXPECT_FALSE(form.BtnContCapture->Enabled());

  ASSERT_TRUE(form.BtnInit->Enabled());
  form.BtnInitClick();
  EXPECT_EQ(Status(), "Device Initialization Success");
  EXPECT_TRUE(form.BtnCapture->Enabled());
  EXPECT_EQ(form.ImageWidth, 300);
}

TEST_F(InitTest, ParallelReaderShowsPortAndMode) {
  Plug("parallel", 0);
  TForm1& form = Initialized();
  EXPECT_EQ(form.EditPPName->Text(), "Parallel: HMP01");
  EXPECT_EQ(form.EditPPAddr->Text(), "378h");
  EXPECT_EQ(form.EditPPMode->Text(), "EPP");
  EXPECT_TRUE(form.EditUSBName->Text().empty());
  EXPECT_TRUE(form.GroupBoxPP->Bold());
  EXPECT_FALSE(form.CheckBoxSmartCapture->Enabled());
  EXPECT_FALSE(form.CheckBoxAutoCapture->Enabled());

  Plug("parallel", 0, [](sim::Reader& reader) { reader.portMode = 7; });
  Initialized();
  EXPECT_EQ(form.EditPPMode->Text(), "Internal Error");
}

TEST_F(InitTest, Hmx02HasNoAutoCaptureNorSmartCapture) {
  Plug("OMREL", 0);
  TForm1& form = Initialized();
  EXPECT_FALSE(form.CheckBoxAutoCapture->Enabled());
  EXPECT_FALSE(form.CheckBoxSmartCapture->Enabled());
  EXPECT_FALSE(form.CheckBoxShowSmartCaptureDetail->Enabled());
  for (forms::TMenuItem* item : {form.LedOnOff1, form.SaveToRawFile1, form.SaveToBMPFile1}) {
    EXPECT_TRUE(item->Enabled()) << item->Caption();
  }
}

TEST_F(InitTest, ReaderWithoutAutoOnKeepsAutoCaptureDisabled) {
  Plug("QVUSB", 0, [](sim::Reader& reader) { reader.productId = 0x0325; });
  TForm1& form = Initialized();
  EXPECT_EQ(form.EditUSBName->Text(), "KMU03M");
  EXPECT_EQ(form.AutoOnSupported, 0);
  EXPECT_FALSE(form.CheckBoxAutoCapture->Enabled());
  EXPECT_FALSE(form.AutoOnGroupBox->Enabled());
  EXPECT_TRUE(form.CheckBoxSmartCapture->Enabled());
}

TEST_F(InitTest, SmartCaptureReaderIsTunedFromItsOwnValues) {
  Plug("HMX05", 0);
  TForm1& form = Initialized();
  EXPECT_EQ(form.ScrollBarBrightness->Position(), 50);
  EXPECT_EQ(form.LabelBrightness->Caption(), "50");
  EXPECT_EQ(form.ScrollBarGainMax->Position(), 58);
  EXPECT_EQ(form.LabelGainMax->Caption(), "58");
  EXPECT_EQ(form.ScrollBarGainMin->Position(), 8);
  EXPECT_TRUE(form.ScrollBarGainMax->Enabled());
  EXPECT_TRUE(form.ScrollBarGainMin->Enabled());
  EXPECT_TRUE(form.CheckBoxShowSmartCaptureDetail->Enabled());
  EXPECT_TRUE(form.CheckBoxShowSmartCaptureDetail->Checked());
  EXPECT_TRUE(form.CheckBoxSRFeature->Checked());
  EXPECT_TRUE(form.CheckBoxSRFeature->Enabled());
  // Default mode F: every mode item but F, "Default Mode" checked, recalibration possible.
  EXPECT_TRUE(form.NormalMode1->Checked());
  EXPECT_TRUE(form.ModeN1->Enabled());
  EXPECT_FALSE(form.ModeF1->Enabled());
  EXPECT_TRUE(form.Recalibrate1->Enabled());
  EXPECT_EQ(form.DefaultCaptureMode, 2u);
  EXPECT_TRUE(form.Dialogs.shownMessages.empty());
}

TEST_F(InitTest, OldSmartCaptureModuleIsWarnedAboutAndGetsNoRecord) {
  InstallSmartCaptureModule({1, 0, 2, 9});
  Plug("HMX05", 0);
  Form().Dialogs.nextAnswers.push_back(kModalResultOk);
  TForm1& form = Initialized();
  ASSERT_EQ(form.Dialogs.shownMessages.size(), 1u);
  const DialogSeam::Message& box = form.Dialogs.shownMessages[0];
  EXPECT_EQ(box.caption, "ERROR");
  EXPECT_EQ(box.text,
            "Sorry about not supporting old data structure for smart catpure detail.\n"
            "Please install Qvhmx05m.dll v1.0.3.0 or later.");
  EXPECT_EQ(box.icon, MessageIcon::Warning);
  EXPECT_FALSE(box.owned);
  EXPECT_EQ(form.ScDetail, nullptr);
  EXPECT_FALSE(form.DeleteCfgFile->Enabled());
  EXPECT_TRUE(form.CheckBoxSRFeature->Checked());
  EXPECT_EQ(Status(), "Device Initialization Success");
}

// The old-module box runs an event loop: a finger message and a repaint it
// delivers meet the new reader's size together with its buffer and bitmap.
TEST_F(InitTest, EventsDuringTheOldModuleBoxMeetTheNewImageSize) {
  Plug("HMX06", 0);  // 272 x 352, listed first
  Plug("HMX05", 0);  // 300 x 400
  TForm1& form = Initialized(0);
  ASSERT_EQ(form.ImageWidth, 272);
  InstallSmartCaptureModule({1, 0, 2, 9});
  form.Window->Show();
  form.Dialogs.nextAnswers.push_back(kModalResultOk);
  form.Dialogs.whileMessageBoxShown = [&] {
    ASSERT_TRUE(PostMessageA(form.Handle, kFingerDetectedMessage, 1, 0));
    W(form.Window.get())->repaint();
    ProcessEventsUntil([] { return ImageAvailable == 1; }, 5000);
  };
  form.ComboDeviceID->SetItemIndex(1);
  form.BtnInitClick();
  ASSERT_EQ(form.Dialogs.shownMessages.size(), 1u);
  EXPECT_EQ(ImageAvailable, 1);
  EXPECT_EQ(form.ImageWidth, 300);
  EXPECT_EQ(form.Dib.SourceWidth(), 300);
}

TEST_F(InitTest, ModuleFrom103HasARecordButDeletesNoConfigFile) {
  InstallSmartCaptureModule({1, 0, 3, 5});
  Plug("HMX05", 0);
  TForm1& form = Initialized();
  ASSERT_NE(form.ScDetail, nullptr);
  int32_t size = 0;
  form.Sensor->Control(111, &size);
  EXPECT_EQ(form.ScDetail->size, size);
  EXPECT_GE(size, static_cast<int32_t>(kSmartCaptureHeaderSize));
  EXPECT_FALSE(form.DeleteCfgFile->Enabled());
  EXPECT_TRUE(form.Dialogs.shownMessages.empty());
}

TEST_F(InitTest, ModuleFrom104DeletesTheConfigFile) {
  InstallSmartCaptureModule({1, 0, 4, 0});
  Plug("HMX05", 0);
  TForm1& form = Initialized();
  EXPECT_NE(form.ScDetail, nullptr);
  EXPECT_TRUE(form.DeleteCfgFile->Enabled());
}

TEST_F(InitTest, ReaderGoneBeforeInitLeavesCaptureDisabled) {
  Plug("HMX05", 0);
  TForm1& form = Refreshed();
  sim::UnplugReader("HMX05", 0);
  form.BtnInitClick();
  EXPECT_EQ(Status(), "Device not found...");
  EXPECT_NE(form.Sensor, nullptr);  // stays loaded until the next Init
  EXPECT_FALSE(form.BtnCapture->Enabled());
  EXPECT_TRUE(form.EditUSBName->Text().empty());
  EXPECT_TRUE(form.NormalMode1->Checked());
  EXPECT_FALSE(form.NormalMode1->Enabled());
}

// Missing, or cut short by a failed copy: the loader must not be reached.
TEST_F(InitTest, MissingOrTruncatedDriverModuleChangesNothing) {
  Plug("HMX05", 0);
  TForm1& form = Refreshed();
  const std::filesystem::path installed = sim::SystemDirectory(sim::MachineRoot()) / "Qvhmx05m.dll";
  std::ifstream in(installed, std::ios::binary);
  std::string truncated(4096, '\0');
  ASSERT_TRUE(in.read(truncated.data(), static_cast<std::streamsize>(truncated.size())));
  sim::RemoveDriverFile("Qvhmx05m.dll");
  for (const bool present : {false, true}) {
    if (present) std::ofstream(installed, std::ios::binary) << truncated;
    form.BtnInitClick();
    EXPECT_EQ(Status(), "Can not load driver");
    EXPECT_EQ(form.Sensor, nullptr);
    EXPECT_EQ(form.DriverModule, nullptr);
    EXPECT_TRUE(form.BtnInit->Enabled());
  }
}

// The parallel reader's module with its dynamic section far outside its image:
// the Refresh that probes the reader is refused the module, instead of dying in
// the system loader, and lists the other readers.
TEST_F(InitTest, ParallelModuleWithHeadersOutsideItsImageIsNotProbed) {
  Plug("HMX05", 0);
  Plug("parallel", 0);
  const std::filesystem::path installed = sim::SystemDirectory(sim::MachineRoot()) / "Dacro.dll";
  std::ifstream in(installed, std::ios::binary);
  const std::string module((std::istreambuf_iterator<char>(in)), {});
  ASSERT_FALSE(module.empty());
  sim::RemoveDriverFile("Dacro.dll");
  std::ofstream(installed, std::ios::binary) << WithDynamicSectionFarAway(module);
  TForm1& form = Refreshed();
  EXPECT_EQ(Items(), std::vector<std::string>{"R20 -- HMX05:0"});
  EXPECT_EQ(Status(), "Select a fingerprint device and Click Init button. 1 device(s) found.");
  form.BtnInitClick();
  EXPECT_EQ(Status(), "Device Initialization Success");
}

}  // namespace

// Single, continuous and automatic capture in the window, with simulated
// readers and a scripted sensor: the result line, the start and the stop with
// their controls and lock, the worker's statuses, suspend and resume, the
// deferred brightness and the finger-detected message.
#include <QPointingDevice>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <regex>
#include <cstdlib>
#include <qpa/qwindowsysteminterface.h>
#include <thread>

#include "forms/qt/queued_call.h"
#include "device/locks.h"
#include "device/sensor.h"
#include "platform/window_host.h"
#include "legible_texts.h"
#include "open_reader_fixture.h"
#include "sim_command.h"

namespace {

using CaptureTest = OpenReaderTest;

bool Matches(const std::string& text, const char* pattern) {
  return std::regex_match(text, std::regex(pattern));
}

// Whether another thread (a stand-in for another process) can take the window's lock now.
bool WindowLockFree() {
  bool free = false;
  std::thread other([&] {
    Mutex lock("qvdx_exeUNITLOCKER0", FALSE, nullptr);
    free = lock.Acquire(0);
    if (free) lock.Release();
  });
  other.join();
  return free;
}

// The page's surface takes the page's size as a shown window's would; the
// window itself stays hidden, so no repaint runs beside the worker.
void Show(TForm1& form) {
  platform::ResizeSurface(form.Image1->Handle(), form.TabImage->Width(), form.TabImage->Height());
}

// Pixels of the Image page inside Image1 that are not white.
int DrawnPixels(const TForm1& form) {
  const RECT area = form.Image1->DrawBounds();
  int drawn = 0;
  platform::WithSurface(form.Image1->Handle(), [&](platform::Surface& surface) {
    for (int y = area.top; y < area.bottom && y < surface.height; ++y) {
      for (int x = area.left; x < area.right && x < surface.width; ++x) {
        drawn += (surface.pixels[static_cast<size_t>(y) * surface.width + x] & 0xFFFFFFu) != 0xFFFFFFu;
      }
    }
  });
  return drawn;
}

TEST_F(CaptureTest, SingleCaptureShowsTimeAndGrayButNeverQuality) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx03));
  Show(*form_);
  EXPECT_TRUE(form_->CaptureOnce());
  EXPECT_TRUE(Matches(StatusText(), R"(\[Capture\] time: \d+ msec  gray: \d+)")) << StatusText();
  EXPECT_EQ(ImageAvailable, 1);
  EXPECT_GT(DrawnPixels(*form_), 0);
}

TEST_F(CaptureTest, CapturesRefuseAnImageWithoutPixels) {
  OpenScriptedReader(kReaderHmx03, 0, 0);
  form_->ImageBuffer.reset();
  EXPECT_FALSE(form_->CaptureOnce());
  form_->BtnContCaptureClick();
  EXPECT_EQ(NotCapturing, 1);
  EXPECT_TRUE(scripted_.Calls().empty());
  EXPECT_EQ(TForm1::ImageMean(nullptr, 0, 0), -1);
  form_->ReportCapture(-1, TForm1::ImageMean(nullptr, 0, 0), -1);
  EXPECT_EQ(StatusText(), "[Capture]");
}

TEST_F(CaptureTest, GrayIsTheMeanWithTheFractionDropped) {
  const uint8_t image[] = {0, 255, 255, 1};  // 511 / 4
  EXPECT_EQ(TForm1::ImageMean(image, 2, 2), 127);
  const std::vector<uint8_t> white(300 * 400, 255);
  EXPECT_EQ(TForm1::ImageMean(white.data(), 300, 400), 255);
}

TEST_F(CaptureTest, FirstRunReportsFromTheSecondImageAndLaterRunsFromTheFirst) {
  OpenScriptedReader(kReaderHmx03);
  scripted_.Gate();
  StartContinuousCapture();
  EXPECT_EQ(StatusText(), "Capturing...");
  scripted_.Allow(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return scripted_.Frames() == 1 && LastCallbackTick != 0; }));
  ProcessEventsFor(20);
  EXPECT_EQ(StatusText(), "Capturing...");

  scripted_.Allow(1);
  const char* line = R"(\[Capture\] time: \d+ msec  gray: 100 Q:70)";
  ASSERT_TRUE(ProcessEventsUntil([&] { return Matches(StatusText(), line); })) << StatusText();
  form_->BtnContCaptureClick();
  EXPECT_EQ(NotCapturing, 1);
  // The callback answered the stop, so the window takes it back from the driver.
  EXPECT_EQ(scripted_.CountOf("SetImageCallback"), 2);

  StartContinuousCapture();
  const int before = scripted_.Frames();
  scripted_.Allow(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return scripted_.Frames() > before && Matches(StatusText(), line); }));
  form_->BtnContCaptureClick();
}

TEST_F(CaptureTest, WithoutTheCallbackOnlyTheStopReportsTheGray) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx03));
  form_->CheckBoxUseCallback->SetChecked(false);
  Show(*form_);
  StartContinuousCapture();
  ASSERT_TRUE(ProcessEventsUntil([&] { return ImageAvailable == 1; }, 5000));
  ProcessEventsFor(300);
  EXPECT_EQ(StatusText(), "Capturing...");
  EXPECT_GT(DrawnPixels(*form_), 0);  // the driver drew the live image itself
  form_->BtnContCaptureClick();
  EXPECT_TRUE(Matches(StatusText(), R"(\[Capture\] gray: \d+)")) << StatusText();
}

// Live frames become the current image at a person's pace, but the last one
// of a run always does: the stop reports the gray of the frame on the screen.
TEST_F(CaptureTest, TheStopReportsTheGrayOfTheRunsLastFrame) {
  OpenScriptedReader(kReaderHmx03);
  form_->CheckBoxUseCallback->SetChecked(false);
  scripted_.grayCountsFrames = true;
  StartContinuousCapture();
  ASSERT_TRUE(ProcessEventsUntil([&] { return scripted_.Frames() > 50; }));
  form_->BtnContCaptureClick();
  EXPECT_EQ(StatusText(), "[Capture] gray: " + std::to_string(scripted_.Frames() % 256));
}

// With the callback one GetImageEx lasts 100 frame periods; each frame the
// driver draws into the page must reach the screen on its own, not when the
// call ends. Frames are counted by the drawings on the page, changes by what
// the screen shows of Image1.
TEST_F(CaptureTest, WithTheCallbackTheScreenFollowsTheLiveFrames) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx05));
  ASSERT_TRUE(form_->CheckBoxUseCallback->Checked());
  form_->Window->Show();
  const QRgb white = qRgb(255, 255, 255);
  ASSERT_TRUE(ProcessEventsUntil([&] {
    const QImage image = OnScreen(form_->Image1);
    return image.pixel(image.rect().center()) == white;
  }));
  auto drawings = [&] {
    uint64_t count = 0;
    platform::WithSurface(form_->Image1->Handle(), [&](platform::Surface& surface) { count = surface.drawings; });
    return count;
  };

  QImage shown = OnScreen(form_->Image1);
  int changes = 0;
  const uint64_t before = drawings();
  ASSERT_TRUE(form_->BtnContCapture->Enabled());
  StartContinuousCapture();
  constexpr uint64_t kFrames = 12;
  const bool ran = ProcessEventsUntil(
      [&] {
        const QImage now = OnScreen(form_->Image1);
        if (now != shown) {
          ++changes;
          shown = now;
        }
        return drawings() - before >= kFrames;
      },
      30000);
  const uint64_t frames = drawings() - before;
  form_->BtnContCaptureClick();
  ASSERT_TRUE(ran) << frames << " frames drawn";
  EXPECT_GE(2 * static_cast<uint64_t>(changes), frames) << changes << " changes on the screen for " << frames << " frames";
}

TEST_F(CaptureTest, TwoPressesStartThenStopWithTheControlsAndTheLockOfARun) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx05));
  form_->BtnContCaptureClick();
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Stop Capturing");
  EXPECT_TRUE(form_->BtnContCapture->Enabled());
  // Whole in the button, and heard as shown.
  const TextPlace caption = TextPlaces(W(form_->BtnContCapture)).front();
  EXPECT_TRUE(caption.room.contains(caption.drawn));
  EXPECT_EQ(Heard(form_->BtnContCapture), QString("Stop Capturing"));
  EXPECT_EQ(Heard(form_->BtnContCapture, QAccessible::Description), QString("Stop Capturing"));
  for (forms::TControl* control : std::initializer_list<forms::TControl*>{
           form_->BtnInit, form_->BtnCapture, form_->BtnConfig, form_->BtnEnum,
           form_->CheckBoxAutoCapture, form_->CheckBoxShowSmartCaptureDetail,
           form_->CheckBoxSmartCapture, form_->CheckBoxUseCallback}) {
    EXPECT_FALSE(control->Enabled()) << control->Name();
  }
  EXPECT_FALSE(WindowLockFree());
  const char* line = R"(\[Capture\] time: \d+ msec  gray: \d+ Q:\d+)";
  ASSERT_TRUE(ProcessEventsUntil([&] { return Matches(StatusText(), line); }, 5000))
      << StatusText();

  form_->BtnContCaptureClick();
  EXPECT_FALSE(form_->CaptureThread.joinable());
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Cont. Capture");
  EXPECT_EQ(Heard(form_->BtnContCapture), QString("Cont. Capture"));
  EXPECT_EQ(Heard(form_->BtnContCapture, QAccessible::Description), QString("Start Capture"));
  for (forms::TControl* control : std::initializer_list<forms::TControl*>{
           form_->BtnInit, form_->BtnCapture, form_->BtnConfig, form_->BtnEnum, form_->BtnContCapture,
           form_->CheckBoxUseCallback, form_->CheckBoxAutoCapture,
           form_->CheckBoxShowSmartCaptureDetail, form_->CheckBoxSmartCapture}) {
    EXPECT_TRUE(control->Enabled()) << control->Name();
  }
  EXPECT_TRUE(WindowLockFree());
}

// Only types 4, 5 and 6 get the auto-capture and smart-capture boxes back, and
// only type 6 the details box.
TEST_F(CaptureTest, StopEnablesTheReaderBoxesOfTypesFourToSixOnly) {
  OpenScriptedReader(kReaderHmx03);
  for (const uint16_t type : {kReaderHmx02, kReaderHmx03, kReaderHmx05, kReaderHmx06}) {
    entry_.type = type;
    form_->BtnContCaptureClick();
    form_->BtnContCaptureClick();
    const bool fourToSix = type >= kReaderHmx03 && type <= kReaderHmx05;
    EXPECT_EQ(form_->CheckBoxAutoCapture->Enabled(), fourToSix) << type;
    EXPECT_EQ(form_->CheckBoxSmartCapture->Enabled(), fourToSix) << type;
    EXPECT_EQ(form_->CheckBoxShowSmartCaptureDetail->Enabled(), type == kReaderHmx05) << type;
  }
  form_->AutoOnSupported = 0;
  entry_.type = kReaderHmx03;
  form_->BtnContCaptureClick();
  form_->BtnContCaptureClick();
  EXPECT_FALSE(form_->CheckBoxAutoCapture->Enabled());
}

TEST_F(CaptureTest, LiveTimeOutIsShownWhileTheLoopGoesOnAndAFailureEndsIt) {
  OpenScriptedReader(kReaderHmx03);
  scripted_.ForceLiveStatus(kStatusTimeout);
  StartContinuousCapture();
  ASSERT_TRUE(ProcessEventsUntil([&] {
    return scripted_.Frames() > 5 && StatusText() == "Stopped: Time out...";
  }));
  EXPECT_FALSE(form_->CaptureWorkerEnded);

  scripted_.ForceLiveStatus(kStatusLineDropped);
  ASSERT_TRUE(ProcessEventsUntil([&] { return form_->CaptureWorkerEnded.load(); }));
  // The window keeps its capturing look until the user stops.
  EXPECT_EQ(NotCapturing, 0);
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Stop Capturing");
  form_->BtnContCaptureClick();
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Cont. Capture");
}

// The machine's suspend and resume reach the window as power broadcasts; the
// suspend is answered once the run has stopped.
TEST_F(CaptureTest, SuspendStopsARunAndResumeStartsItAgain) {
  OpenScriptedReader(kReaderHmx03);
  EXPECT_EQ(SimCommandAnsweredByTheWindow({"resume"}), "1 window received the resume notice\n");
  ProcessEventsFor(20);
  EXPECT_EQ(NotCapturing, 1);  // nothing ran before

  StartContinuousCapture();
  EXPECT_EQ(SimCommandAnsweredByTheWindow({"suspend"}), "1 window received the suspend notice\n");
  EXPECT_EQ(NotCapturing, 1);
  EXPECT_FALSE(form_->CaptureThread.joinable());
  EXPECT_EQ(ResumeAfterSuspend, 1);

  EXPECT_EQ(SimCommandAnsweredByTheWindow({"resume"}), "1 window received the resume notice\n");
  ASSERT_TRUE(ProcessEventsUntil([&] { return NotCapturing == 0; }));
  EXPECT_EQ(ResumeAfterSuspend, 0);
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Stop Capturing");
  form_->BtnContCaptureClick();
}

// A reader that reports a wrong image once: the run shows it and goes on. Without
// the callback no result line can supersede the stop text before it is shown, and a
// second fault seen afterwards proves the loop made another call.
TEST_F(CaptureTest, AWrongImageDuringARunIsShownAndTheRunGoesOn) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx03));
  ASSERT_TRUE(form_->CheckBoxUseCallback->Enabled());
  form_->CheckBoxUseCallback->SetChecked(false);
  StartContinuousCapture();
  SimCommand({"fault", reader_.Id(), "--call", "image-ex", "--status", "57"});
  ASSERT_TRUE(ProcessEventsUntil([&] { return StatusText() == "Stopped: Wrong Image..."; }, 5000));
  SimCommand({"fault", reader_.Id(), "--call", "image-ex", "--status", "54"});
  ASSERT_TRUE(ProcessEventsUntil([&] { return StatusText() == "Stopped: Time out..."; }, 5000));
  EXPECT_FALSE(form_->CaptureWorkerEnded);
  ASSERT_TRUE(form_->BtnContCapture->Enabled());
  form_->BtnContCaptureClick();
}

// A touch reaches the window as the driver's finger message, with the first
// parameter the machine gave it: only a low word of 1 captures.
TEST_F(CaptureTest, ATouchCapturesWhenItsFirstParametersLowWordIsOne) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx03));
  ASSERT_TRUE(form_->CheckBoxAutoCapture->Enabled());
  form_->CheckBoxAutoCapture->SetChecked(true);
  const std::string enabled = "Auto Capturing is enabled. Put your finger on the sensor!";
  ASSERT_EQ(StatusText(), enabled);
  SimCommand({"touch", reader_.Id(), "--wparam", "2"});
  ProcessEventsFor(500);
  EXPECT_EQ(StatusText(), enabled);
  EXPECT_EQ(ImageAvailable, 0);

  SimCommand({"touch", reader_.Id(), "--wparam", "0x10001"});
  ASSERT_TRUE(ProcessEventsUntil([] { return ImageAvailable == 1; }, 5000));
  EXPECT_TRUE(Matches(StatusText(), R"(\[Capture\] time: \d+ msec  gray: \d+)"));
}

TEST_F(CaptureTest, BrightnessChangedDuringARunReachesTheReaderOnlyThroughTheCallback) {
  OpenScriptedReader(kReaderHmx05);
  scripted_.Gate();
  StartContinuousCapture();
  form_->PendingBrightness = 70;
  form_->BrightnessPending = 1;
  EXPECT_TRUE(scripted_.Brightnesses().empty());
  scripted_.Allow(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !scripted_.Brightnesses().empty(); }));
  EXPECT_EQ(scripted_.Brightnesses(), std::vector<int32_t>{70});
  EXPECT_EQ(form_->BrightnessPending, 0);
  form_->BtnContCaptureClick();

  form_->CheckBoxUseCallback->SetChecked(false);
  scripted_.Gate(false);
  StartContinuousCapture();
  form_->PendingBrightness = 30;
  form_->BrightnessPending = 1;
  ASSERT_TRUE(ProcessEventsUntil([&] { return scripted_.Frames() > 10; }));
  form_->BtnContCaptureClick();
  EXPECT_EQ(scripted_.Brightnesses(), std::vector<int32_t>{70});
}

TEST_F(CaptureTest, FingerDetectedCapturesOnLowWordOneAndNotDuringARun) {
  OpenScriptedReader(kReaderHmx03);
  for (const WPARAM wParam : {WPARAM{1}, WPARAM{0x10001}, WPARAM{2}}) {
    ASSERT_TRUE(PostMessageA(form_->Handle, kFingerDetectedMessage, wParam, 0));
  }
  ASSERT_TRUE(ProcessEventsUntil([&] { return scripted_.CountOf("GetImage") == 2; }));
  ProcessEventsFor(20);
  EXPECT_EQ(scripted_.CountOf("GetImage"), 2);
  EXPECT_TRUE(Matches(StatusText(), R"(\[Capture\] time: \d+ msec  gray: 100)"));

  StartContinuousCapture();
  ASSERT_TRUE(PostMessageA(form_->Handle, kFingerDetectedMessage, 1, 0));
  ProcessEventsFor(20);
  form_->BtnContCaptureClick();
  ProcessEventsFor(20);
  EXPECT_EQ(scripted_.CountOf("GetImage"), 2);
}

TEST_F(CaptureTest, AutoCaptureBoxSwitchesTheReaderOrSaysItCannot) {
  OpenScriptedReader(kReaderHmx05);
  form_->CheckBoxAutoCapture->SetEnabled(true);
  form_->CheckBoxAutoCapture->SetChecked(true);
  EXPECT_EQ(StatusText(), "Auto Capturing is enabled. Put your finger on the sensor!");
  form_->CheckBoxAutoCapture->SetChecked(false);
  EXPECT_EQ(StatusText(), "Auto Capturing is disabled.");
  EXPECT_EQ(scripted_.CountOf("EnableAutoOn"), 2);
  form_->AutoOnSupported = 0;
  form_->CheckBoxAutoCapture->SetChecked(true);
  EXPECT_EQ(StatusText(), "Auto Capturing is not supported!");
  EXPECT_EQ(scripted_.CountOf("EnableAutoOn"), 2);
}

TEST_F(CaptureTest, RefreshDuringARunStopsItAndLeavesTheCaptureButtonsEnabled) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx05));
  form_->CheckBoxSmartCapture->SetChecked(true);
  StartContinuousCapture();
  ASSERT_TRUE(ProcessEventsUntil([] { return LastCallbackTick != 0; }, 5000));
  form_->BtnEnumClick();
  EXPECT_EQ(NotCapturing, 1);
  EXPECT_FALSE(form_->CaptureThread.joinable());
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Cont. Capture");
  EXPECT_FALSE(form_->CheckBoxSmartCapture->Checked());
  for (forms::TControl* control : std::initializer_list<forms::TControl*>{form_->BtnInit, form_->BtnCapture,
                                                           form_->BtnContCapture}) {
    EXPECT_TRUE(control->Enabled()) << control->Name();
  }
  EXPECT_EQ(ImageAvailable, 0);
}

TEST_F(CaptureTest, UnpluggingDuringARunEndsTheWorkerAndTheDeviceChangeStopsCleanly) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx03));
  StartContinuousCapture();
  ASSERT_TRUE(sim::UnplugReader(reader_.name, reader_.index));
  ASSERT_TRUE(ProcessEventsUntil([&] { return form_->CaptureWorkerEnded.load(); }, 3000));
  form_->ResetForDeviceChange();
  EXPECT_EQ(NotCapturing, 1);
  EXPECT_EQ(form_->Sensor, nullptr);
  EXPECT_FALSE(form_->CaptureThread.joinable());
}

// A click made while a slow stop waits for the worker lands on "Cont. Capture"
// once the stop is done, unless it is dropped.
TEST_F(CaptureTest, ClicksDuringAStopAreDroppedNotReplayed) {
  OpenScriptedReader(kReaderHmx03);
  form_->CheckBoxUseCallback->SetChecked(false);
  form_->Window->Show();
  QWindow* window = W(form_->Window.get())->windowHandle();
  // The mouse is made known on the window thread, where the toolkit keeps it.
  QPointingDevice::primaryPointingDevice();
  const QWidget* pressed = W(form_->BtnContCapture);
  const QPoint button = pressed->mapTo(pressed->window(), pressed->rect().center());
  scripted_.whileStopping = [&] {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
          window, button, window->mapToGlobal(button), held, Qt::LeftButton, type);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  };
  scripted_.Gate();
  StartContinuousCapture();
  scripted_.Allow(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return ImageAvailable == 1; }));
  ASSERT_TRUE(form_->BtnContCapture->Enabled());
  form_->BtnContCaptureClick();
  ASSERT_EQ(NotCapturing, 1);
  ProcessEventsFor(100);
  EXPECT_EQ(NotCapturing, 1) << "the click made during the stop started a new run";
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Cont. Capture");
}

// A driver's finger message that arrives while a stop waits for the worker is
// handled once, after the stop: handled during it, its capture would meet the
// worker still inside the driver.
TEST_F(CaptureTest, AFingerMessageDuringAStopIsHandledOnceAfterIt) {
  OpenScriptedReader(kReaderHmx03);
  form_->CheckBoxUseCallback->SetChecked(false);
  int capturesDuringStop = -1;
  scripted_.whileStopping = [&] {
    ASSERT_TRUE(PostMessageA(form_->Handle, kFingerDetectedMessage, 1, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    capturesDuringStop = scripted_.CountOf("GetImage");
  };
  // The worker waits inside its second live capture when the stop comes.
  scripted_.Gate();
  StartContinuousCapture();
  scripted_.Allow(1);
  ASSERT_TRUE(ProcessEventsUntil([&] { return scripted_.CountOf("GetImageEx") == 2; }));
  form_->BtnContCaptureClick();
  EXPECT_EQ(capturesDuringStop, 0);
  ASSERT_TRUE(ProcessEventsUntil([&] { return scripted_.CountOf("GetImage") == 1; }));
  ProcessEventsFor(50);
  EXPECT_EQ(scripted_.CountOf("GetImage"), 1);
  EXPECT_TRUE(Matches(StatusText(), R"(\[Capture\] time: \d+ msec  gray: 100)"));
}

// The window's destruction stops the run, waits for the worker and then the
// 200 ms the driver is given to settle, before it unloads the module.
TEST_F(CaptureTest, ClosingTheWindowDuringARunStopsItAndUnloadsTheModule) {
  ASSERT_TRUE(OpenSimulatedReader(kReaderHmx03));
  StartContinuousCapture();
  ASSERT_TRUE(ProcessEventsUntil([] { return LastCallbackTick != 0; }, 5000));
  const auto start = std::chrono::steady_clock::now();
  form_.reset();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  EXPECT_EQ(NotCapturing, 1);
  EXPECT_EQ(GetModuleHandleA(FindReaderType(kReaderHmx03)->module), nullptr);
  EXPECT_TRUE(WindowLockFree());
}

#if defined(__SANITIZE_THREAD__)
// Nothing may hide a race inside a queued call's body, which is our code: the
// thread checker must report it.
void RaceInsideAQueuedCall() {
  int shared = 0;
  std::atomic<bool> bodyRan{false};  // relaxed: orders nothing for the checker
  QObject receiver;
  std::thread worker([&] {
    QueueCall(&receiver, [&] {
      shared = 1;
      bodyRan.store(true, std::memory_order_relaxed);
    });
    shared = 2;  // after the hand-over: nothing orders it before the call's write
  });
  while (!bodyRan.load(std::memory_order_relaxed)) QCoreApplication::processEvents();
  worker.join();
  std::exit(0);
}

TEST(ThreadCheckerTest, SeesARaceInsideAQueuedCallsBody) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RaceInsideAQueuedCall(), testing::ExitedWithCode(66), "data race");
}
#endif

}  // namespace

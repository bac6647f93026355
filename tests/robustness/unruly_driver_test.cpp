// The window against a driver module that misbehaves: image sizes no reader
// has, callbacks from a foreign thread after the capture call returned,
// statuses outside every table, and a log shorter than announced. Each case
// must end in a clear status or be contained: no crash, no overrun.
#include <QDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "device/proc_address.h"
#include "tests/app/machine_form.h"

namespace {

typedef uint32_t (*LateCallbacksFn)();

class UnrulyDriverTest : public MachineFormTest {
 protected:
  void SetUp() override {
    MachineFormTest::SetUp();
    ASSERT_TRUE(folder_.isValid());
    Plug("HMX04", 0);
  }
  void TearDown() override {
    MachineFormTest::TearDown();
    unsetenv("TOLVANE_UNRULY");
  }

  TForm1& InitializedAs(const char* mode) {
    setenv("TOLVANE_UNRULY", mode, 1);
    return Initialized(0);
  }

  std::string SaveLog() {
    const std::string path = QDir(folder_.path()).filePath("reader.log").toStdString();
    form_->Dialogs.nextFileNames.push_back(path);
    form_->MenuitemSaveLogsClick();
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  QTemporaryDir folder_;
};

TEST_F(UnrulyDriverTest, TheHonestStandInIsTheOneLoaded) {
  TForm1& form = InitializedAs("");
  EXPECT_EQ(Status(), "Device Initialization Success");
  EXPECT_EQ(form.ImageWidth, 120);
  EXPECT_EQ(form.ImageHeight, 80);
  ASSERT_NE(GetProcAddress(form.DriverModule, "UnrulyLateCallbacks"), nullptr);
}

// Sizes no reader has disable capturing: nothing is ever handed a buffer
// smaller than the image the driver would write.
TEST_F(UnrulyDriverTest, ImageSizesNoReaderHasDisableCapture) {
  int contained = 0;
  for (const char* mode : {"size-zero", "size-huge", "size-negative"}) {
    SCOPED_TRACE(mode);
    form_.reset();
    TForm1& form = InitializedAs(mode);
    EXPECT_EQ(Status(), "Device information unavailable: capture disabled");
    EXPECT_FALSE(form.BtnCapture->Enabled());
    EXPECT_FALSE(form.BtnContCapture->Enabled());
    EXPECT_FALSE(form.CaptureOnce());
    form.BtnContCaptureClick();
    EXPECT_EQ(NotCapturing.load(), 1);
    form.HandleFingerDetected(1);
    EXPECT_EQ(ImageAvailable.load(), 0);
    contained += !HasFailure();
  }
  std::printf("unruly driver: 3 broken image sizes, %d contained, 0 crashes\n", contained);
}

// The driver calls back from its own thread after GetImageEx returned: during
// the run, after the stop, and once more while the window destroys the sensor.
// Before each callback it reads the image it was given, which must still be
// there (freed sooner, the test build reports a use after free). Odd rounds
// close the window during the run, even rounds after stopping it.
TEST_F(UnrulyDriverTest, CallbacksAfterTheCallReturnedAreContained) {
  constexpr int kRounds = 4;
  uint32_t late = 0;
  int atDestruction = 0;
  for (int round = 0; round < kRounds; ++round) {
    TForm1& form = InitializedAs("late-callback");
    ASSERT_TRUE(form.BtnContCapture->Enabled());
    form.CheckBoxUseCallback->SetChecked(true);
    form.BtnContCaptureClick();
    ASSERT_EQ(NotCapturing.load(), 0);
    ProcessEventsFor(150);
    if (round % 2 == 0) {
      form.BtnContCaptureClick();
      EXPECT_EQ(NotCapturing.load(), 1);
    }
    EXPECT_EQ(ImageAvailable.load(), 1);
    const auto count = ProcAddressAs<LateCallbacksFn>(form.DriverModule, "UnrulyLateCallbacks");
    ASSERT_NE(count, nullptr);
    late += count();
    LastCallbackTick = 1;  // a callback reports, reading the frame, and moves this on
    form_.reset();
    EXPECT_EQ(NotCapturing.load(), 1);
    atDestruction += LastCallbackTick != 1;
    ResetCaptureFlags();
  }
  EXPECT_GT(late, 0u);
  EXPECT_EQ(atDestruction, kRounds);
  std::printf("unruly driver: %d capture runs, %u callbacks after their call returned, %d during the "
              "sensor's destruction, 0 crashes\n",
              kRounds, late, atDestruction);
}

// Frames written slowly while the window saves: each saved file holds one
// whole frame, never rows of two. First a save that certainly meets a frame's
// publication half done: the test publishes that frame itself, as the capture
// worker does, under the image lock, and finishes it only once the save has
// written its file (or long after any save would have copied the image). The
// save must wait for it; then many saves beside the driver's own frames.
TEST_F(UnrulyDriverTest, SavesDuringARewritingCaptureHoldWholeFrames) {
  constexpr size_t kPixels = 120u * 80u;
  TForm1& form = InitializedAs("rewrite");
  form.BtnContCaptureClick();
  ASSERT_TRUE(ProcessEventsUntil([] { return ImageAvailable == 1; }));
  ASSERT_TRUE(form.SaveToBMPFile1->Enabled());
  const std::string path = QDir(folder_.path()).filePath("frame.bmp").toStdString();
  const std::filesystem::path saved = path;
  const auto savedPixels = [&] {
    form.Dialogs.nextFileNames.push_back(path);
    Choose(form.SaveToBMPFile1);
    std::ifstream in(saved, std::ios::binary);
    const std::string file(std::istreambuf_iterator<char>(in), {});
    uint32_t pixelsAt = 0;
    if (file.size() >= 14u) std::memcpy(&pixelsAt, file.data() + 10, sizeof pixelsAt);
    EXPECT_EQ(file.size(), pixelsAt + kPixels);
    return file.size() == pixelsAt + kPixels ? file.substr(pixelsAt) : std::string();
  };
  const auto whole = [](const std::string& pixels) {
    return !pixels.empty() && pixels.find_first_not_of(pixels[0]) == std::string::npos;
  };

  std::atomic<bool> halfPublished{false};
  std::thread publisher([&] {
    std::lock_guard guard(form.ImageLock);
    const auto next = static_cast<uint8_t>(form.ImageBuffer[0] + 128);
    std::memset(form.ImageBuffer.get(), next, kPixels / 2);
    halfPublished = true;
    for (int waited = 0; waited < 1000 && !std::filesystem::exists(saved); waited += 5) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::memset(form.ImageBuffer.get() + kPixels / 2, next, kPixels - kPixels / 2);
  });
  while (!halfPublished) std::this_thread::yield();
  const std::string met = savedPixels();
  publisher.join();
  EXPECT_TRUE(whole(met)) << "a save copied a frame half published";

  constexpr int kSaves = 200;
  int torn = 0;
  std::set<uint8_t> frames;
  for (int i = 0; i < kSaves; ++i) {
    const std::string pixels = savedPixels();
    ASSERT_FALSE(pixels.empty());
    torn += !whole(pixels);
    frames.insert(static_cast<uint8_t>(pixels[0]));
    ProcessEventsFor(2);
  }
  form.BtnContCaptureClick();
  EXPECT_EQ(torn, 0);
  EXPECT_GT(frames.size(), 10u);
  std::printf("torn saves: %d BMP saves during a capture whose driver rewrites the frame, %zu "
              "frames among them, %d torn; 1 save meeting a frame half published %s\n",
              kSaves, frames.size(), torn, whole(met) ? "waited for it" : "copied it torn");
}

TEST_F(UnrulyDriverTest, StatusesOutsideEveryTableAreShownAsCodes) {
  InitializedAs("odd-open");
  EXPECT_EQ(Status(), "Error Code: 3735879746(0xdead0042)");
  EXPECT_FALSE(form_->BtnCapture->Enabled());

  form_.reset();
  TForm1& form = InitializedAs("odd-status");
  ASSERT_NE(form.Sensor, nullptr);
  EXPECT_FALSE(form.CaptureOnce());
  EXPECT_EQ(Status(), "Error Code: 3735879747(0xdead0043)");

  form.CheckBoxUseCallback->SetChecked(true);
  form.BtnContCaptureClick();
  ProcessEventsUntil([&] { return Status().starts_with("Stopped: "); });
  EXPECT_EQ(Status(), "Stopped: Error Code: 3735879755(0xdead004b)");
  form.BtnContCaptureClick();
  EXPECT_EQ(NotCapturing.load(), 1);
  EXPECT_EQ(ImageAvailable.load(), 0);

  EXPECT_EQ(SaveLog(), "");
  EXPECT_EQ(Status(), "Error Code: 3735879758(0xdead004e)");
  EXPECT_EQ(form.Dialogs.fileDialogsShown, 0);
  std::printf("unruly driver: 4 unknown statuses shown as codes, 0 crashes\n");
}

// A log shorter than announced is saved at the announced size, the rest zero;
// an empty one as an empty file.
TEST_F(UnrulyDriverTest, LogsAreSavedAtTheAnnouncedSize) {
  InitializedAs("log-short");
  std::string log = SaveLog();
  ASSERT_EQ(log.size(), 200u);
  EXPECT_EQ(log.substr(0, 3), "ABC");
  EXPECT_EQ(log.find_first_not_of('\0', 150), std::string::npos);
  EXPECT_TRUE(Status().starts_with("Successfully saved to "));

  form_.reset();
  InitializedAs("log-empty");
  log = SaveLog();
  EXPECT_EQ(log, "");
  EXPECT_TRUE(Status().starts_with("Successfully saved to "));
  std::printf("unruly driver: 2 logs of other sizes than written, saved as announced, 0 crashes\n");
}

// kB from a line of /proc/self/status.
long StatusKib(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(field)) return std::stol(line.substr(std::strlen(field)));
  }
  return -1;
}

// A driver file of 6 GiB in the system folder: the Refresh lists it, and its
// version lookups read a bounded part of it, not the whole file twice.
TEST_F(UnrulyDriverTest, AHugeDriverFileIsListedWithinBoundedMemory) {
  Refreshed();  // what every Refresh loads once is loaded before the measure
  const std::filesystem::path huge = sim::SystemDirectory(sim::MachineRoot()) / "Qvhmx06m.dll";
  sim::RemoveDriverFile("Qvhmx06m.dll");
  std::ofstream(huge, std::ios::binary).close();
  std::filesystem::resize_file(huge, uint64_t{6} << 30);
  // Writing 5 starts the peak anew from the memory in use now.
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = StatusKib("VmRSS:");
  TForm1& form = Refreshed();
  const long peakGrowthKib = StatusKib("VmHWM:") - before;
  EXPECT_NE(form.LabelDriverInfo->Caption().find("Qvhmx06m.dll (v0.0.0.0)"), std::string::npos);
  EXPECT_LT(peakGrowthKib, 16 * 1024);
  std::printf("unruly driver: a 6 GiB driver file listed by a Refresh, its version lookups' peak memory "
              "%ld KiB above the memory in use before\n",
              peakGrowthKib);
}

}  // namespace

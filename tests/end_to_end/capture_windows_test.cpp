// Captures on the R20 as a technician makes them: one image saved through the
// system's save dialog, continuous capture watched on the screen, and the
// window closed while it runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <thread>

#include "tests/end_to_end/running_program.h"
#include "tests/end_to_end/workstation.h"

namespace e2e {
namespace {

const std::string kListed = "Select a fingerprint device and Click Init button. 3 device(s) found.";
const std::regex kCaptureLine(R"(\[Capture\] time: ([0-9]+) msec  gray: [0-9]+)");

class EndToEndCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.WaitForStatus(kListed));
    ASSERT_TRUE(program_.Init("R20 -- HMX05:0"));
  }

  // One capture; the reader's frame period as its line reports it.
  Clock::duration CaptureOnce() {
    EXPECT_TRUE(program_.Press("Capture"));
    EXPECT_TRUE(program_.WaitForStatusStarting("[Capture] time: "));
    std::smatch line;
    const std::string status = program_.Status();
    EXPECT_TRUE(std::regex_match(status, line, kCaptureLine)) << status;
    return std::chrono::milliseconds(line.empty() ? 0 : std::stoi(line[1].str()));
  }

  // Saves the current image with the File menu's `command`, answering its dialog.
  void Save(const std::string& command, const std::string& dialogTitle, const std::string& path) {
    ASSERT_TRUE(program_.Command("File", command));
    HWND dialog = program_.WaitForDialog(dialogTitle);
    ASSERT_NE(dialog, nullptr) << "no dialog \"" << dialogTitle << "\"";
    program_.SaveAs(dialog, path);
    EXPECT_TRUE(program_.WaitForStatus("Successfully saved to " + path));
  }

  RunningProgram program_;
};

using EndToEndCapture = EndToEndCaptureTest;

TEST_F(EndToEndCapture, ACaptureIsShownAndSavedAsBmpAndRaw) {
  CaptureOnce();
  std::vector<uint32_t> shown = program_.ImageOnScreen();
  ASSERT_EQ(shown.size(), 300u * 400u);
  std::sort(shown.begin(), shown.end());
  EXPECT_GT(std::unique(shown.begin(), shown.end()) - shown.begin(), 16) << "the screen shows no fingerprint";

  const std::string bmp = TemporaryPath("capture.bmp");
  ASSERT_NO_FATAL_FAILURE(Save("Save Image (BMP)", "Save fingerprint image to BMP format", bmp));
  // Read back by the system's own reader.
  HANDLE image = LoadImageA(nullptr, bmp.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  ASSERT_NE(image, nullptr) << bmp;
  DIBSECTION read{};
  ASSERT_EQ(GetObjectA(image, sizeof read, &read), static_cast<int>(sizeof read));
  EXPECT_EQ(read.dsBmih.biWidth, 300);
  EXPECT_EQ(std::abs(read.dsBmih.biHeight), 400);
  EXPECT_EQ(read.dsBmih.biBitCount, 8);
  DeleteObject(image);

  const std::string raw = TemporaryPath("capture.raw");
  ASSERT_NO_FATAL_FAILURE(Save("Save Image (Raw)", "Save fingerprint image to RAW format", raw));
  WIN32_FILE_ATTRIBUTE_DATA file{};
  ASSERT_TRUE(GetFileAttributesExA(raw.c_str(), GetFileExInfoStandard, &file)) << raw;
  EXPECT_EQ(file.nFileSizeHigh, 0u);
  EXPECT_EQ(file.nFileSizeLow, 120000u);
}

// What continuous capture showed while it was watched.
struct LiveView {
  int imagesShown = 0;  // changes of the image on the screen
  int lines = 0;        // changes of the result line
  Clock::duration longestStill{};
  Clock::duration longestLook{};  // the longest time between two looks at the screen
  bool allLinesWithQuality = true;
};

// The screen is looked at as often as it can be; the status bar, whose
// reading waits while the program's window thread is busy, beside it.
LiveView Watch(const RunningProgram& program, Clock::duration length) {
  LiveView view;
  const auto start = Clock::now();
  std::thread lines([&] {
    std::string line = program.Status();
    while (Clock::now() - start < length) {
      if (std::string status = program.Status(); status != line) {
        ++view.lines;
        view.allLinesWithQuality = view.allLinesWithQuality && status.find(" Q:") != std::string::npos;
        line = std::move(status);
      }
      std::this_thread::sleep_for(1ms);
    }
  });
  std::vector<uint32_t> image = program.ImageOnScreen();
  auto changed = start;
  auto looked = start;
  for (auto now = start; now - start < length; now = Clock::now()) {
    std::vector<uint32_t> shown = program.ImageOnScreen();
    view.longestLook = std::max(view.longestLook, Clock::now() - looked);
    looked = Clock::now();
    if (shown != image) {
      ++view.imagesShown;
      view.longestStill = std::max(view.longestStill, now - changed);
      changed = now;
      image = std::move(shown);
    }
  }
  view.longestStill = std::max(view.longestStill, Clock::now() - changed);
  lines.join();
  return view;
}

class EndToEndContinuousCapture : public EndToEndCaptureTest, public ::testing::WithParamInterface<bool> {};

// The image on the screen changes at least every two frame periods, the
// period being the reader's own time for a capture; a look at the screen
// takes time too, so the still time measured may exceed the true one by one
// look. The result lines, with their quality, come with the callback only.
TEST_P(EndToEndContinuousCapture, ShowsTheFramesAndStopsWithinThreeSeconds) {
  const bool callback = GetParam();
  const Clock::duration period = CaptureOnce();
  ASSERT_GT(period, 0ms);
  if (program_.Checked("Use Callback") != callback) {
    ASSERT_TRUE(program_.Press("Use Callback"));
  }
  ASSERT_TRUE(WaitFor([&] { return program_.Checked("Use Callback") == callback; }));
  ASSERT_TRUE(program_.Press("Cont. Capture"));
  ASSERT_TRUE(WaitFor([&] { return program_.Button("Stop Capturing") != nullptr; }));
  if (callback) {
    ASSERT_TRUE(WaitFor([&] { return program_.Status().find(" Q:") != std::string::npos; })) << program_.Status();
  }

  constexpr auto kWatched = 4s;
  const LiveView view = Watch(program_, kWatched);
  const double frames = static_cast<double>(kWatched / 1ms) / static_cast<double>(period / 1ms);
  std::printf("figure: continuous capture %s the callback, frame period %lld ms: window path %.0f%%, screen %.0f%% "
              "of the frames; longest still %lld ms, longest look %lld ms\n",
              callback ? "with" : "without", static_cast<long long>(period / 1ms), 100.0 * view.lines / frames,
              100.0 * view.imagesShown / frames, static_cast<long long>(view.longestStill / 1ms),
              static_cast<long long>(view.longestLook / 1ms));
  EXPECT_LE(view.longestStill, 2 * period + view.longestLook);
  if (callback) {
    EXPECT_TRUE(view.allLinesWithQuality);
  } else {
    EXPECT_EQ(view.lines, 0);
    EXPECT_EQ(program_.Status(), "Capturing...");
  }

  ASSERT_TRUE(program_.Press("Stop Capturing"));
  const auto stopping = Clock::now();
  EXPECT_TRUE(WaitFor([&] { return program_.Button("Cont. Capture") && program_.Enabled("Init"); }, 3s));
  std::printf("figure: the stop took %lld ms\n", static_cast<long long>((Clock::now() - stopping) / 1ms));
  for (const char* control : {"Init", "Capture", "Cont. Capture", "Config...", "Refresh", "Use Callback"}) {
    EXPECT_TRUE(program_.Enabled(control)) << control;
  }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutTheCallback, EndToEndContinuousCapture, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "UseCallback" : "NoCallback"; });

using EndToEndClose = EndToEndCaptureTest;

TEST_F(EndToEndClose, ClosingDuringContinuousCaptureStopsItAndEndsWithZero) {
  ASSERT_TRUE(program_.Press("Cont. Capture"));
  ASSERT_TRUE(WaitFor([&] { return program_.Button("Stop Capturing") != nullptr; }));
  EXPECT_EQ(program_.Close(), 0u);
}

}  // namespace
}  // namespace e2e

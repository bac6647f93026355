// tolvane-diag.exe started as its own process and worked from outside, as a
// person or an accessibility client works it: controls found by their class
// and caption, pressed with BM_CLICK and menu commands, read with WM_GETTEXT
// and MSAA, and its image read from the screen.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Polls `done` until it holds or `limit` has passed; whether it holds.
bool WaitFor(const std::function<bool()>& done, Clock::duration limit = 10s);

// The text of any window, of this process or another.
std::string TextOf(HWND window);

// The folder of this test program, which holds the programs under test.
std::string ProgramFolder();

// tolvane-diag.exe of that folder, unless TOLVANE_DIAG_PROGRAM names another
// copy of it (the installed one).
std::string ProgramPath();

class RunningProgram {
 public:
  // Starts the program and waits for its main window.
  RunningProgram();
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  Clock::time_point Started() const { return started_; }
  HWND Window() const { return window_; }

  std::string Status() const;
  // Waits until the status bar reads `text`; false, with what it read, when it does not.
  ::testing::AssertionResult WaitForStatus(const std::string& text, Clock::duration limit = 10s) const;
  ::testing::AssertionResult WaitForStatusStarting(const std::string& start, Clock::duration limit = 10s) const;

  // The child window of `windowClass` whose text is `text`; null when none.
  HWND Control(const char* windowClass, const std::string& text) const;
  HWND Button(const std::string& caption) const { return Control("Button", caption); }
  // The first child window of `windowClass`.
  HWND ControlOfClass(const char* windowClass) const;
  // The text of the edit a screen reader names `name`, its label's caption,
  // in the group with the caption `group`.
  std::string EditText(const std::string& group, const std::string& name) const;
  // The value shown beside the label with the caption `label`.
  std::string ValueOf(const std::string& label) const;

  // Presses a button or check box, only once it is enabled; false when it does not become so.
  ::testing::AssertionResult Press(const std::string& caption) const;
  bool Enabled(const std::string& caption) const;
  bool Checked(const std::string& caption) const;

  // The reader selector's items, and a person's choice of one.
  std::vector<std::string> SelectorItems() const;
  ::testing::AssertionResult Select(const std::string& item) const;
  // The reader `item` chosen and initialized.
  ::testing::AssertionResult Init(const std::string& item) const;

  // The menu command `item` of the menu `menu`, given from the keyboard.
  ::testing::AssertionResult Command(const std::string& menu, const std::string& item) const;

  // A shown dialog of the program with the caption `title`; null when none within `limit`.
  HWND WaitForDialog(const std::string& title, Clock::duration limit = 10s) const;
  // Answers a save dialog: the file name typed, then Save.
  void SaveAs(HWND dialog, const std::string& path) const;

  // The fingerprint image as the screen shows it, 0x00RRGGBB per pixel.
  std::vector<uint32_t> ImageOnScreen() const;

  // Asks the window to close and waits for the process; its exit code, or
  // STILL_ACTIVE when it had to be ended.
  DWORD Close(Clock::duration limit = 30s);
 private:
  // The exit code once the process ended by itself within `limit`, or
  // STILL_ACTIVE when it had to be ended.
  DWORD WaitForExit(Clock::duration limit);
  HWND EditNamed(const std::string& group, const std::string& name) const;

  PROCESS_INFORMATION process_{};
  Clock::time_point started_;
  HWND window_ = nullptr;
  bool ended_ = false;
  DWORD exitCode_ = STILL_ACTIVE;
};

}  // namespace e2e

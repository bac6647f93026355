#include "tests/end_to_end/running_program.h"

#include <commctrl.h>

#include <algorithm>
#include <thread>

#include "tests/forms/win32/msaa.h"

namespace e2e {

namespace {

constexpr UINT kAnswerWaitMs = 2000;
constexpr auto kPollPeriod = 10ms;
// The file-name box of the system's save dialog: a combo box holding an edit
// in the Explorer style, a plain edit in the old one.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerWaitMs, &answer);
  return static_cast<LRESULT>(answer);
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// Every window at or below `parent` (the desktop: the top-level windows)
// for which `take` says true, in the system's order.
std::vector<HWND> WindowsWhere(HWND parent, const std::function<bool(HWND)>& take) {
  struct Search {
    const std::function<bool(HWND)>& take;
    std::vector<HWND> found;
  } search{take, {}};
  const auto visit = [](HWND window, LPARAM data) -> BOOL {
    auto& wanted = *reinterpret_cast<Search*>(data);
    if (wanted.take(window)) wanted.found.push_back(window);
    return TRUE;
  };
  if (parent) {
    EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

// What is heard of a name: spaces around it are not.
std::string Trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(' ');
  return begin == std::string::npos ? std::string() : text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

bool OfClass(HWND window, const char* windowClass) { return lstrcmpiA(ClassOf(window).c_str(), windowClass) == 0; }

}  // namespace

bool WaitFor(const std::function<bool()>& done, Clock::duration limit) {
  const auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(kPollPeriod);
  }
  return true;
}

std::string TextOf(HWND window) {
  std::string text(static_cast<size_t>(Send(window, WM_GETTEXTLENGTH)) + 1, '\0');
  const LRESULT length = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string program(path);
  return program.substr(0, program.find_last_of('\\') + 1);
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("TOLVANE_DIAG_PROGRAM", path, MAX_PATH) > 0) return path;
  return ProgramFolder() + "tolvane-diag.exe";
}

RunningProgram::RunningProgram() {
  std::string commandLine = "\"" + ProgramPath() + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  started_ = Clock::now();
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
    ended_ = true;
    return;
  }
  const DWORD id = process_.dwProcessId;
  WaitFor(
      [&] {
        const std::vector<HWND> main = WindowsWhere(nullptr, [&](HWND window) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          return owner == id && OfClass(window, "TolvaneForm") && GetMenu(window) != nullptr;
        });
        window_ = main.empty() ? nullptr : main.front();
        return window_ && ControlOfClass(STATUSCLASSNAMEA);
      },
      30s);
  if (!window_) ADD_FAILURE() << "the program showed no main window within 30 s";
}

RunningProgram::~RunningProgram() {
  if (!ended_ && Close(10s) == STILL_ACTIVE) ADD_FAILURE() << "the program did not end when asked to close";
  if (process_.hProcess) {
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

std::string RunningProgram::Status() const { return TextOf(ControlOfClass(STATUSCLASSNAMEA)); }

::testing::AssertionResult RunningProgram::WaitForStatus(const std::string& text, Clock::duration limit) const {
  if (WaitFor([&] { return Status() == text; }, limit)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the status bar reads \"" << Status() << "\", not \"" << text << "\"";
}

::testing::AssertionResult RunningProgram::WaitForStatusStarting(const std::string& start,
                                                                 Clock::duration limit) const {
  if (WaitFor([&] { return Status().starts_with(start); }, limit)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the status bar reads \"" << Status() << "\", not \"" << start << "...\"";
}

HWND RunningProgram::Control(const char* windowClass, const std::string& text) const {
  const std::vector<HWND> found =
      WindowsWhere(window_, [&](HWND window) { return OfClass(window, windowClass) && TextOf(window) == text; });
  return found.empty() ? nullptr : found.front();
}

HWND RunningProgram::ControlOfClass(const char* windowClass) const {
  const std::vector<HWND> found = WindowsWhere(window_, [&](HWND window) { return OfClass(window, windowClass); });
  return found.empty() ? nullptr : found.front();
}

HWND RunningProgram::EditNamed(const std::string& group, const std::string& name) const {
  const std::vector<HWND> found = WindowsWhere(Control("Button", group), [&](HWND window) {
    return OfClass(window, "Edit") && Trimmed(probe::win32::ReadAccessible(window).name) == Trimmed(name);
  });
  return found.empty() ? nullptr : found.front();
}

std::string RunningProgram::EditText(const std::string& group, const std::string& name) const {
  HWND edit = EditNamed(group, name);
  return edit ? TextOf(edit) : "(no edit named \"" + name + "\" in \"" + group + "\")";
}

std::string RunningProgram::ValueOf(const std::string& label) const {
  HWND caption = Control("Static", label);
  return caption ? TextOf(GetWindow(caption, GW_HWNDNEXT)) : "(no label \"" + label + "\")";
}

::testing::AssertionResult RunningProgram::Press(const std::string& caption) const {
  HWND button = Button(caption);
  if (!button) return ::testing::AssertionFailure() << "no button \"" << caption << "\"";
  if (!WaitFor([&] { return IsWindowEnabled(button) != FALSE; })) {
    return ::testing::AssertionFailure() << "\"" << caption << "\" stays disabled; status: " << Status();
  }
  // Posted, as a click is: a press that opens a modal dialog does not hold the presser.
  PostMessageA(button, BM_CLICK, 0, 0);
  return ::testing::AssertionSuccess();
}

bool RunningProgram::Enabled(const std::string& caption) const {
  HWND button = Button(caption);
  return button && IsWindowEnabled(button);
}

bool RunningProgram::Checked(const std::string& caption) const {
  return Send(Button(caption), BM_GETCHECK) == BST_CHECKED;
}

std::vector<std::string> RunningProgram::SelectorItems() const {
  HWND selector = ControlOfClass("ComboBox");
  std::vector<std::string> items;
  const auto count = static_cast<int>(Send(selector, CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    // Wine passes a list's text to another process whole only through the wide message.
    std::wstring item(static_cast<size_t>(Send(selector, CB_GETLBTEXTLEN, i)) + 1, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(selector, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()), SMTO_ABORTIFHUNG,
                        kAnswerWaitMs, &length);
    items.emplace_back(item.begin(), item.begin() + static_cast<std::ptrdiff_t>(length));
  }
  return items;
}

::testing::AssertionResult RunningProgram::Select(const std::string& item) const {
  const std::vector<std::string> items = SelectorItems();
  const auto found = std::find(items.begin(), items.end(), item);
  if (found == items.end()) return ::testing::AssertionFailure() << "the selector does not list " << item;
  HWND selector = ControlOfClass("ComboBox");
  Send(selector, CB_SETCURSEL, static_cast<WPARAM>(found - items.begin()));
  Send(GetParent(selector), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(selector), CBN_SELCHANGE),
       reinterpret_cast<LPARAM>(selector));
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult RunningProgram::Init(const std::string& item) const {
  if (::testing::AssertionResult selected = Select(item); !selected) return selected;
  if (::testing::AssertionResult pressed = Press("Init"); !pressed) return pressed;
  return WaitForStatus("Device Initialization Success");
}

// The menu bar as a person sees it, separators left out: the keyboard passes
// over them. Wine lets no other process read a window's menu, so the
// commands are given as a keyboard user gives them.
const std::vector<std::pair<std::string, std::vector<std::string>>> kMenuBar = {
    {"File", {"Save Image (Raw)", "Save Image (BMP)", "Save Logs", "Exit"}},
    {"Device", {"Led On/Off", "Recalibrate", "Delete .cfg File"}},
    {"Capture", {"Mode N", "Mode T", "Mode F", "Default Mode"}},
    {"Options", {"Auto Refresh"}},
    {"Help", {"About..."}},
};

::testing::AssertionResult RunningProgram::Command(const std::string& menu, const std::string& item) const {
  for (size_t m = 0; m < kMenuBar.size(); ++m) {
    if (kMenuBar[m].first != menu) continue;
    const std::vector<std::string>& items = kMenuBar[m].second;
    const auto found = std::find(items.begin(), items.end(), item);
    if (found == items.end()) break;
    // Alt selects the first menu; Right moves along the bar, Down opens a
    // menu at its first item and moves down it, Enter gives the command.
    const auto key = [&](WPARAM code) { PostMessageA(window_, WM_KEYDOWN, code, 1); };
    PostMessageA(window_, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (size_t i = 0; i < m; ++i) key(VK_RIGHT);
    key(VK_DOWN);
    for (auto i = items.begin(); i != found; ++i) key(VK_DOWN);
    key(VK_RETURN);
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "no menu item " << menu << " > " << item;
}

HWND RunningProgram::WaitForDialog(const std::string& title, Clock::duration limit) const {
  HWND dialog = nullptr;
  WaitFor(
      [&] {
        const std::vector<HWND> found = WindowsWhere(nullptr, [&](HWND window) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          return owner == process_.dwProcessId && OfClass(window, "#32770") && IsWindowVisible(window) &&
                 TextOf(window) == title;
        });
        dialog = found.empty() ? nullptr : found.front();
        return dialog != nullptr;
      },
      limit);
  return dialog;
}

void RunningProgram::SaveAs(HWND dialog, const std::string& path) const {
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (name) {
    const std::vector<HWND> edits = WindowsWhere(name, [](HWND window) { return OfClass(window, "Edit"); });
    name = edits.empty() ? nullptr : edits.front();
  } else {
    name = GetDlgItem(dialog, kFileNameEdit);
  }
  Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

std::vector<uint32_t> RunningProgram::ImageOnScreen() const {
  // The fingerprint image is the drawing area inside the window's client
  // area; the smart-capture pages' ones lie beyond its right edge.
  RECT client;
  GetClientRect(window_, &client);
  MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  RECT place{};
  for (HWND area : WindowsWhere(window_, [](HWND window) { return OfClass(window, "TolvaneDrawingArea"); })) {
    RECT bounds;
    GetWindowRect(area, &bounds);
    if (bounds.right <= client.right && IsWindowVisible(area)) {
      GetClientRect(area, &place);
      MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&place), 2);
      break;
    }
  }
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  if (width <= 0 || height <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HDC copy = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> image(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
  for (uint32_t& pixel : image) pixel &= 0xFFFFFF;
  SelectObject(copy, previous);
  DeleteObject(bitmap);
  DeleteDC(copy);
  ReleaseDC(nullptr, screen);
  return image;
}

DWORD RunningProgram::Close(Clock::duration limit) {
  if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
  return WaitForExit(limit);
}

DWORD RunningProgram::WaitForExit(Clock::duration limit) {
  if (ended_) return exitCode_;
  ended_ = true;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(limit).count();
  if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) {
    TerminateProcess(process_.hProcess, STILL_ACTIVE);
    WaitForSingleObject(process_.hProcess, INFINITE);
    return exitCode_;
  }
  GetExitCodeProcess(process_.hProcess, &exitCode_);
  return exitCode_;
}

}  // namespace e2e

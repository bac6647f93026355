// Waits for the program's main window to show a status text, gives it a
// moment to reach the screen, and prints where the window lies on the screen:
//   tolvane-window-shot STATUS-TEXT   ->   "LEFT TOP RIGHT BOTTOM"
// The caller takes those pixels from the display.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/win32.h"

namespace {

HWND FindChildOfClass(HWND parent, const char* className) {
  struct Search {
    const char* className;
    HWND found;
  } search{className, nullptr};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != search->className) return TRUE;
        search->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TextOf(HWND window) {
  char text[256] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000,
                      &length);
  return text;
}

// The window whose status bar shows `status`, waited for up to a minute.
HWND WaitForStatus(const std::string& status) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < end) {
    if (HWND window = FindWindowA("TolvaneForm", nullptr)) {
      HWND bar = FindChildOfClass(window, "msctls_statusbar32");
      if (bar && TextOf(bar).find(status) != std::string::npos) return window;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tolvane-window-shot STATUS-TEXT\n");
    return 2;
  }
  HWND window = WaitForStatus(argv[1]);
  if (!window) {
    std::fprintf(stderr, "tolvane-window-shot: no window showed \"%s\"\n", argv[1]);
    return 1;
  }
  SetForegroundWindow(window);
  std::this_thread::sleep_for(std::chrono::seconds(1));  // the last repaints reach the screen
  RECT area;
  GetWindowRect(window, &area);
  std::printf("%ld %ld %ld %ld\n", area.left, area.top, area.right, area.bottom);
  return 0;
}

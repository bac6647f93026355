// The system's own notice: WM_POWERBROADCAST to every top-level window, as the
// system sends it. Wine's suspend calls are stubs, so this is the whole event.
#include <windows.h>

#include <set>
#include <vector>

#include "simulator/tool/power.h"

namespace sim {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

void AnnouncePower(PowerNotice notice, std::ostream& out) {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  PowerNoticeResult result;
  if (notice == PowerNotice::Resume) {
    // Answered as soon as it is posted.
    for (HWND window : windows) {
      if (PostMessageA(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0)) ++result.windows;
    }
    PrintPowerResult(notice, result, out);
    return;
  }
  // A suspend is answered once every window has answered, within one wait for all.
  const ULONGLONG deadline = GetTickCount64() + std::chrono::milliseconds(kPowerAnswerWait).count();
  std::set<DWORD> programs, unanswered;
  for (HWND window : windows) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    programs.insert(process);
    const ULONGLONG now = GetTickCount64();
    const UINT left = now < deadline ? static_cast<UINT>(deadline - now) : 1;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_ABORTIFHUNG, left, &answer)) {
      ++result.windows;
    } else if (GetLastError() == ERROR_TIMEOUT) {
      unanswered.insert(process);
    }
  }
  result.programs = programs.size();
  result.unanswered = unanswered.size();
  PrintPowerResult(notice, result, out);
}

}  // namespace sim

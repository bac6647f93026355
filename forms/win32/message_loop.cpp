#include "forms/win32/message_loop.h"

namespace forms::win32 {

void Deliver(MSG& message) {
  HWND form = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (form && IsDialogMessageA(form, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

void DropUserInput() {
  constexpr UINT kInputRanges[][2] = {
      {WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}};
  MSG message;
  for (const auto& range : kInputRanges) {
    while (PeekMessageA(&message, nullptr, range[0], range[1], PM_REMOVE)) {
    }
  }
}

void WaitForMessages(DWORD waitMs) {
  MsgWaitForMultipleObjectsEx(0, nullptr, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace forms::win32

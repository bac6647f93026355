// Posting a message whose sender wants to know when the window has answered it,
// as a sent message would tell it. Inside the platform layer only.
#pragma once

#include <functional>

#include "platform/win32.h"

namespace platform {

// Called on the window thread with WindowProc's result, or with 0 when the
// message is dropped because the window goes away first.
using PostedAnswer = std::function<void(LRESULT)>;

// Any thread: like PostMessageA. False, and `answered` never called, when the
// window is not registered.
bool PostMessageWithAnswer(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           PostedAnswer answered);

}  // namespace platform

// The window classes of this toolkit and the private messages between its
// windows.
#pragma once

#include "platform/win32.h"

namespace forms::win32 {

inline constexpr const char* kFormClass = "TolvaneForm";
// A panel, a tab sheet: a plain area that holds controls.
inline constexpr const char* kContainerClass = "TolvaneContainer";
inline constexpr const char* kDrawingAreaClass = "TolvaneDrawingArea";

// Registers the classes and the common controls once; forms run `formProc`.
void RegisterWindowClasses(WNDPROC formProc);

// A notification a control sends to its parent, which a container hands on to
// its form.
bool IsChildNotification(UINT message);
// A standard control that holds others (a group box, a tab control) hands its
// children's notifications on to its form as well.
void ForwardChildNotifications(HWND control);

// Posted to a form: a call waits in its queue.
UINT PostedCallMessage();
// Sent to a form: one of its drawing areas was painted.
UINT AreaPaintedMessage();

}  // namespace forms::win32

// Requests from outside that the program end, delivered as WM_CLOSE.
//
// On Windows the system asks a program to end by posting WM_CLOSE to its main
// window, which then closes as if the user had closed it, so that everything
// the window's destruction releases is released. Here SIGTERM and SIGINT are
// that request: the first of them is posted to the watching window as WM_CLOSE;
// a second one, or one that finds no window, ends the program at once, as
// without the watch.
#pragma once

#include "platform/win32.h"

namespace platform {

// Window thread, once, for the program's main window.
void WatchCloseRequests(HWND window);

}  // namespace platform

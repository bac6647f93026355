// Suspend and resume of the system, delivered as power broadcasts.
//
// On Windows every top-level window receives WM_POWERBROADCAST. Here a window
// asks for it once with WatchPowerEvents and receives it until it is
// unregistered: PBT_APMSUSPEND before the system sleeps and
// PBT_APMRESUMEAUTOMATIC after it woke. The notice comes from systemd-logind's
// PrepareForSleep signal on the system bus; the layer holds a delay inhibitor
// so that sleep waits until every window has answered the suspend broadcast
// (logind waits at most its InhibitDelayMaxSec). Without a system bus or logind
// no such broadcast ever arrives and nothing is reported.
//
// The simulated machine sends its own suspend and resume notices
// (`tolvane-sim suspend`, `resume`); they are broadcast the same way, and the
// sender learns how many windows received each and, for a suspend, waits
// until every window has answered.
#pragma once

#include "platform/win32.h"

namespace platform {

// Window thread, once per window.
void WatchPowerEvents(HWND window);

// Any thread: what logind's PrepareForSleep(start) does: posts the suspend
// (start) or the resume broadcast to every watching window. After a suspend
// broadcast, the delay inhibitor, when one is held, is let go once every
// window has answered.
void DeliverPrepareForSleep(bool start);

// Window thread, from UnregisterWindow: the window watches no more. The last
// one gone stops taking the machine's notices.
void ForgetPowerWatcher(HWND window);

}  // namespace platform

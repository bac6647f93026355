// The framework's sessions in this process and the unit locks they hold.
#pragma once

#include "platform/winbio_types.h"

namespace winbio {

// Any thread. A new session's handle, never 0.
WINBIO_SESSION_HANDLE OpenSession();
// False when the handle names no open session. Closing gives its locks back.
bool CloseSession(WINBIO_SESSION_HANDLE session);
bool IsSession(WINBIO_SESSION_HANDLE session);

enum class LockResult { Locked, NoSession, Refused };
// Locks the unit for the session; a session may lock a unit it holds again.
LockResult LockUnit(WINBIO_SESSION_HANDLE session, WINBIO_UNIT_ID unitId);
// False when the session does not hold the unit.
bool UnlockUnit(WINBIO_SESSION_HANDLE session, WINBIO_UNIT_ID unitId);
bool HoldsUnit(WINBIO_SESSION_HANDLE session, WINBIO_UNIT_ID unitId);

}  // namespace winbio

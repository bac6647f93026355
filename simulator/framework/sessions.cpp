#include "simulator/framework/sessions.h"

#include <map>
#include <memory>
#include <mutex>

#include "simulator/framework/unit_lock_file.h"

namespace winbio {

namespace {

struct Session {
  std::map<WINBIO_UNIT_ID, std::unique_ptr<UnitLockFile>> locks;
};

std::mutex sessionsLock;
std::map<WINBIO_SESSION_HANDLE, Session> sessions;
WINBIO_SESSION_HANDLE nextSession = 1;

Session* Find(WINBIO_SESSION_HANDLE session) {
  auto it = sessions.find(session);
  return it == sessions.end() ? nullptr : &it->second;
}

}  // namespace

WINBIO_SESSION_HANDLE OpenSession() {
  std::lock_guard guard(sessionsLock);
  const WINBIO_SESSION_HANDLE handle = nextSession++;
  if (nextSession == 0) nextSession = 1;
  sessions[handle];
  return handle;
}

bool CloseSession(WINBIO_SESSION_HANDLE session) {
  std::lock_guard guard(sessionsLock);
  return sessions.erase(session) == 1;
}

bool IsSession(WINBIO_SESSION_HANDLE session) {
  std::lock_guard guard(sessionsLock);
  return Find(session) != nullptr;
}

LockResult LockUnit(WINBIO_SESSION_HANDLE session, WINBIO_UNIT_ID unitId) {
  std::lock_guard guard(sessionsLock);
  Session* owner = Find(session);
  if (!owner) return LockResult::NoSession;
  if (owner->locks.contains(unitId)) return LockResult::Locked;
  auto lock = std::make_unique<UnitLockFile>(unitId);
  if (!lock->Held()) return LockResult::Refused;
  owner->locks.emplace(unitId, std::move(lock));
  return LockResult::Locked;
}

bool UnlockUnit(WINBIO_SESSION_HANDLE session, WINBIO_UNIT_ID unitId) {
  std::lock_guard guard(sessionsLock);
  Session* owner = Find(session);
  return owner && owner->locks.erase(unitId) == 1;
}

bool HoldsUnit(WINBIO_SESSION_HANDLE session, WINBIO_UNIT_ID unitId) {
  std::lock_guard guard(sessionsLock);
  Session* owner = Find(session);
  return owner && owner->locks.contains(unitId);
}

}  // namespace winbio

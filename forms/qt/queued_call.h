// A call queued to a window object's thread from any thread.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <mutex>
#include <utility>

inline std::mutex& QueuedCallHandOverLock() {
  static std::mutex lock;
  return lock;
}

// Runs `call` on `receiver`'s thread, from its event loop. Qt's queue already
// puts everything the posting thread did before the call, but with locks the
// thread checker cannot see. This lock, held while the call is posted and taken
// again before it runs, shows the checker that order, so that it judges every
// other access the call makes.
template <typename Call>
void QueueCall(QObject* receiver, Call call) {
  std::lock_guard posting(QueuedCallHandOverLock());
  QMetaObject::invokeMethod(
      receiver,
      [call = std::move(call)]() mutable {
        { std::lock_guard handedOver(QueuedCallHandOverLock()); }
        call();
      },
      Qt::QueuedConnection);
}

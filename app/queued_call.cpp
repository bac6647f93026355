#include "app/queued_call.h"

std::mutex &QueuedCallHandOverLock() {
  static std::mutex lock;
  return lock;
}

// The process's table of kernel-object handles.
//
// Every HANDLE the layer hands out (mutexes, device files, ...) names an object
// derived from KernelObject. The table holds shared ownership, so a call that is
// using an object keeps it alive even if another thread closes the handle.
#pragma once

#include <memory>

#include "platform/win32.h"

namespace platform {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// Any thread. Returns a new handle, never null and never INVALID_HANDLE_VALUE.
HANDLE AddKernelObject(std::shared_ptr<KernelObject> object);

// Any thread. Null when the handle is unknown.
std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle);

// Any thread. Null when the handle is unknown or names an object of another kind.
template <typename Object>
std::shared_ptr<Object> FindKernelObjectOf(HANDLE handle) {
  return std::dynamic_pointer_cast<Object>(FindKernelObject(handle));
}

}  // namespace platform

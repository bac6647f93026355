// How an application makes its windows known to the platform layer.
//
// On Windows a window handle comes from the window manager. Here the application
// (the only layer that knows the window toolkit) registers an object that stands
// for each window: posted messages are queued for it and handed back on its
// window thread, and each registered window owns a pixel surface that device
// contexts draw into. Nothing in this header depends on a toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/win32.h"

namespace platform {

// Implemented by the application for every window it registers.
class WindowClient {
 public:
  // Any thread: messages are waiting. The client arranges for its window thread
  // to call DispatchPostedMessages soon. Must not call back into the platform.
  virtual void MessagesPosted() = 0;
  // Window thread, from DispatchPostedMessages: the window's message procedure.
  // A record that came with the message stays alive until this returns.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Any thread: something was drawn on the surface; schedule a repaint on the
  // window thread. Called once per drawing call, so a client that cannot repaint
  // that often paces itself. Must not call back into the platform.
  virtual void SurfaceChanged() = 0;

 protected:
  ~WindowClient() = default;
};

// The pixels of a registered window: 32-bit 0xAARRGGBB, top row first, no padding.
// Drawing and reading happen under `lock`, from any thread.
struct Surface {
  std::mutex lock;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  // Drawing calls that reached these pixels so far, for diagnostics.
  uint64_t drawings = 0;
};

// Window thread. The returned handle is valid until UnregisterWindow. The surface
// starts white, with the given client size.
HWND RegisterWindow(WindowClient* client, int width, int height);
// Window thread. Pending messages are dropped (their records freed); later posts
// to the handle fail.
void UnregisterWindow(HWND window);
// Window thread. Keeps the pixels that still fit, fills new area white.
void ResizeSurface(HWND window, int width, int height);
// Any thread: calls `use` with the surface under its lock; false when the handle
// is unknown. Drawing code notifies the client afterwards with SurfaceChanged.
bool WithSurface(HWND window, const std::function<void(Surface&)>& use);
// Any thread: tells the window's client that its surface changed.
void NotifySurfaceChanged(HWND window);
// Any thread: true while the handle names a registered window.
bool IsWindowRegistered(HWND window);
// Window thread: delivers every message queued for the window, in order, to its
// WindowProc. Returns how many were delivered.
int DispatchPostedMessages(HWND window);
// Any thread: like PostMessageA, but the message owns `record` (delivered as
// lParam, freed after WindowProc returns or when the message is dropped).
bool PostMessageWithRecord(HWND window, UINT message, WPARAM wParam,
                           std::vector<uint8_t> record);

}  // namespace platform

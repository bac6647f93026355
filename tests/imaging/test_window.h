// A registered window with a pixel surface, and helpers to look at what was
// drawn on it.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"
#include "platform/window_host.h"

namespace imaging_test {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

// The surface pixel of gray level v.
constexpr uint32_t Gray(int v) { return 0xFF000000u | static_cast<uint32_t>(v) * 0x010101u; }

class TestWindow : public platform::WindowClient {
 public:
  TestWindow(int width, int height) : handle_(platform::RegisterWindow(this, width, height)) {}
  ~TestWindow() { platform::UnregisterWindow(handle_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return handle_; }
  int SurfaceChanges() const { return surfaceChanges_; }

  uint32_t Pixel(int x, int y) const {
    uint32_t pixel = 0;
    platform::WithSurface(handle_, [&](platform::Surface& surface) {
      pixel = surface.pixels.at(static_cast<size_t>(y) * surface.width + x);
    });
    return pixel;
  }

  void MessagesPosted() override {}
  LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
  void SurfaceChanged() override { ++surfaceChanges_; }

 private:
  HWND handle_;
  std::atomic<int> surfaceChanges_{0};
};

// A device context of a window, released when it goes out of scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace imaging_test

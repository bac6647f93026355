// What a form test reads of a window as a person or an assistive tool would,
// for whichever toolkit the program is built with: what a screen reader hears,
// the colours on the screen, how often a window was painted. Each toolkit's
// tests link their own implementation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/components.h"
#include "forms/form_window.h"
#include "platform/win32.h"

namespace probe {

// A workstation with none of the family's readers or drivers, for as long as
// the object lives.
class EmptyWorkstation {
 public:
  EmptyWorkstation();
  ~EmptyWorkstation();
  EmptyWorkstation(const EmptyWorkstation&) = delete;
  EmptyWorkstation& operator=(const EmptyWorkstation&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A device-change notice as the system brings it to `window`: `record` is the
// broadcast its lParam points to. True when it was delivered.
bool DeliverDeviceChange(HWND window, WPARAM event, std::vector<uint8_t> record);

// The name a screen reader gives the control.
std::string Heard(const forms::TControl* control);

// The colour a window's client area shows at (x, y), as 0x00RRGGBB.
uint32_t PixelAt(HWND window, int x, int y);

// The size of a form window's client area.
std::pair<int, int> ClientSize(const forms::TFormWindow* window);

// Whether Enter presses the button.
bool IsDefaultButton(const forms::TButton* button);

// Calls `seen` whenever the window is painted, until destroyed.
class PaintWatch {
 public:
  PaintWatch(forms::TFormWindow* window, std::function<void()> seen);
  ~PaintWatch();
  PaintWatch(const PaintWatch&) = delete;
  PaintWatch& operator=(const PaintWatch&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Calls `seen` on the thread where the bar's text changes, whenever it does,
// until destroyed.
class StatusWatch {
 public:
  StatusWatch(forms::TStatusBar* bar, std::function<void()> seen);
  ~StatusWatch();
  StatusWatch(const StatusWatch&) = delete;
  StatusWatch& operator=(const StatusWatch&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace probe

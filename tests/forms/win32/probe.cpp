// The probe on Win32: names through MSAA, colours through GetPixel on the
// window's device context, paints and status changes seen by subclassing the
// window. The workstation is the system itself, which has none of the
// family's readers unless a test installs them.
#include "tests/forms/probe.h"

#include <commctrl.h>

#include "tests/forms/win32/msaa.h"
#include "tests/forms/win32/window_of.h"

namespace probe {

using win32::WindowOf;

struct EmptyWorkstation::State {};
EmptyWorkstation::EmptyWorkstation() = default;
EmptyWorkstation::~EmptyWorkstation() = default;

bool DeliverDeviceChange(HWND window, WPARAM event, std::vector<uint8_t> record) {
  SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()));
  return true;
}

std::string Heard(const forms::TControl* control) { return win32::ReadAccessible(WindowOf(control)).name; }

uint32_t PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

std::pair<int, int> ClientSize(const forms::TFormWindow* window) {
  // A window that cannot be resized has no sizing border.
  if (GetWindowLongA(window->Handle(), GWL_STYLE) & WS_THICKFRAME) return {-1, -1};
  RECT client{};
  GetClientRect(window->Handle(), &client);
  return {client.right - client.left, client.bottom - client.top};
}

bool IsDefaultButton(const forms::TButton* button) {
  return (GetWindowLongA(WindowOf(button), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

namespace {

// Calls the watch's function after the window handled `watched`.
template <UINT watched>
LRESULT CALLBACK Watching(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR seen) {
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (message == watched) (*reinterpret_cast<std::function<void()>*>(seen))();
  return result;
}

}  // namespace

struct PaintWatch::State {
  HWND window;
  std::function<void()> seen;
};

PaintWatch::PaintWatch(forms::TFormWindow* window, std::function<void()> seen)
    : state_(std::make_unique<State>(State{window->Handle(), std::move(seen)})) {
  SetWindowSubclass(state_->window, Watching<WM_PAINT>, 1, reinterpret_cast<DWORD_PTR>(&state_->seen));
}

PaintWatch::~PaintWatch() { RemoveWindowSubclass(state_->window, Watching<WM_PAINT>, 1); }

struct StatusWatch::State {
  HWND window;
  std::function<void()> seen;
};

StatusWatch::StatusWatch(forms::TStatusBar* bar, std::function<void()> seen)
    : state_(std::make_unique<State>(State{WindowOf(bar), std::move(seen)})) {
  SetWindowSubclass(state_->window, Watching<SB_SETTEXTA>, 1,
                    reinterpret_cast<DWORD_PTR>(&state_->seen));
}

StatusWatch::~StatusWatch() { RemoveWindowSubclass(state_->window, Watching<SB_SETTEXTA>, 1); }

}  // namespace probe

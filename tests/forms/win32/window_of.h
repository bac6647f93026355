// The window behind a component of the Win32 toolkit.
#pragma once

#include "forms/form_window.h"
#include "forms/win32/window_control.h"

namespace probe::win32 {

inline HWND WindowOf(const forms::TControl* control) {
  if (const auto* form = dynamic_cast<const forms::TFormWindow*>(control)) return form->Handle();
  return dynamic_cast<const forms::win32::WindowControl*>(control)->Window();
}

}  // namespace probe::win32

#include "forms/win32/win32_timer.h"

namespace forms::win32 {

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled) {
    SetTimer(form_, id_, static_cast<UINT>(interval_), nullptr);
  } else {
    KillTimer(form_, id_);
  }
}

}  // namespace forms::win32

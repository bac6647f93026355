// A timer of a form: WM_TIMER messages to the form's window with its id.
#pragma once

#include "forms/components.h"
#include "platform/win32.h"

namespace forms::win32 {

class Timer final : public TTimer {
 public:
  Timer(HWND form, UINT_PTR id, int intervalMs) : form_(form), id_(id), interval_(intervalMs) {}
  ~Timer() override { SetEnabled(false); }

  UINT_PTR Id() const { return id_; }
  int Interval() const override { return interval_; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;

 private:
  HWND form_;
  UINT_PTR id_;
  int interval_;
  bool enabled_ = false;
};

}  // namespace forms::win32

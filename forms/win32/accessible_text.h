// Names and descriptions that screen readers read for a control whose own
// text does not say it, through the system's accessibility property service.
#pragma once

#include <string>

#include "platform/win32.h"

namespace forms::win32 {

void SetAccessibleName(HWND window, const std::string& name);
// Empty: the control's tool tip describes it again.
void SetAccessibleDescription(HWND window, const std::string& description);

}  // namespace forms::win32

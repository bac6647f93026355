// How a group box of this toolkit looks: the area inside filled (its parent
// leaves the group's area to it), the etched frame, and the title, which greys
// while the group is disabled only when the form asks for that.
#pragma once

#include "platform/win32.h"

namespace forms::win32 {

void DrawAsGroup(HWND group, bool greyedTitle);

}  // namespace forms::win32

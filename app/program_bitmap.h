// The program's one BMP writer. It is constructed before the main window and
// destroyed after it, and keeps a copy of the last image it wrote.
#pragma once

#include "imaging/bitmap.h"

extern Bitmap ProgramBitmap;

#include "app/program_bitmap.h"

Bitmap ProgramBitmap;

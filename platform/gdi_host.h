// Platform-internal queries about drawing objects, for tests and diagnostics.
#pragma once

namespace platform {

// Palettes created with CreatePalette and not yet deleted with DeleteObject.
int LivePaletteCount();
// Device contexts handed out by GetDC and not yet released with ReleaseDC.
int LiveDeviceContextCount();

}  // namespace platform

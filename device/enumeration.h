// Finds the attached readers and fills the program-wide DeviceTable.
#pragma once

#include "device/records.h"

// Zeroes DeviceTable and fills it from the front: USB generations newest first
// (types 7 to 3, indexes 0 to 9 each), then the parallel reader unless the
// program runs in a remote session. At most kDeviceTableSize readers are
// listed; probing stops once the table is full. `accessMode` (0, 1 or 2) does
// not change the outcome. Always returns 0.
int EnumerateDevices(int* count, DeviceEntry** table, int accessMode);

// Program-wide state of continuous capture, shared by the window thread, the
// capture worker and the driver's image callback. Each flag is one byte written
// whole; atomics make that a guarantee rather than a hope.
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<uint8_t> NotCapturing;       // 1 while no continuous capture runs
extern std::atomic<uint8_t> StopRequested;      // 0 while the worker should go on
extern std::atomic<uint8_t> StoppedByCallback;  // the callback answered a stop request
extern std::atomic<uint8_t> ImageAvailable;     // a capture succeeded since Init/Refresh
extern std::atomic<uint8_t> ResumeAfterSuspend; // continuous capture ran at suspend
extern std::atomic<uint32_t> LastCallbackTick;  // tick count at the end of the last callback

#include "app/capture_flags.h"

std::atomic<uint8_t> NotCapturing{1};
std::atomic<uint8_t> StopRequested{1};
std::atomic<uint8_t> StoppedByCallback{0};
std::atomic<uint8_t> ImageAvailable{0};
std::atomic<uint8_t> ResumeAfterSuspend{0};
std::atomic<uint32_t> LastCallbackTick{0};

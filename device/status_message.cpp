#include "device/status_message.h"

#include <cstdio>

#include "device/sensor.h"

namespace {

const char* FixedMessage(uint32_t code) {
  switch (code) {
    case kStatusOk: return "Ready";
    case kStatusCreationFail: return "Creation fail...";
    case kStatusFunctionFail: return "Function fail...";
    case kStatusInvalidParameters: return "Invalid Parameters...";
    case kStatusNotUsed: return "Not used...";
    case kStatusSystemFileLoadFail: return "System file load fail...";
    case kStatusDeviceInitializationFail: return "Device Initialization fail...";
    case kStatusLineDropped: return "Line dropped...";
    case kStatusTimeout: return "Time out...";
    case kStatusDeviceNotFound: return "Device not found...";
    case kStatusDllLoadingFail: return "Dll loading fail...";
    case kStatusWrongImage: return "Wrong Image...";
    case kStatusLackOfBandwidth: return "Lack of bandwidth...";
    case kStatusUsedByAnotherProcess: return "Used by another process...";
    case kStatusPutYourFinger: return "Put your finger...";
    default: return nullptr;
  }
}

}  // namespace

std::string& StatusMessage(uint32_t code, std::string& text) {
  if (const char* fixed = FixedMessage(code)) {
    text = fixed;
    return text;
  }
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, "Error Code: %u(0x%x)", code, code);
  text = buffer;
  return text;
}

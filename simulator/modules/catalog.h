// The reader models the simulated driver modules serve, one per reader type.
#pragma once

#include <chrono>
#include <cstdint>

namespace simulator {

struct GainRange {
  uint8_t low;
  uint8_t high;
};

struct ReaderModel {
  uint32_t type;            // 1 parallel, 3..7 USB generations
  const char* name;         // model name as the maker prints it
  uint16_t productId;       // USB product id; 0 for the parallel reader
  int32_t width;            // image width in pixels
  int32_t height;           // image height in pixels
  std::chrono::milliseconds latency;  // time for one frame unless the machine says otherwise
  uint8_t defaultCaptureMode;         // 0 mode N, 1 mode T, 2 mode F
  GainRange gainMax;        // range of the upper gain limit
  GainRange gainMin;        // range of the lower gain limit
  uint8_t defaultGainMax;
  uint8_t defaultGainMin;
  int32_t defaultBrightness;
  bool srFeature;           // reports the SR feature flag
  uint16_t portAddress;     // parallel reader only
  uint16_t portMode;        // parallel reader only: 1 SPP, 2 PS/2, 3 EPP, 4 ECP
};

// The model of a reader type, or null for a type no module serves.
const ReaderModel* FindReaderModel(uint32_t type);

}  // namespace simulator

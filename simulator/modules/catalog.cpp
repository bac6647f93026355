#include "simulator/modules/catalog.h"

#include <array>

namespace simulator {
namespace {

using std::chrono::milliseconds;

constexpr GainRange kGainMax{9, 108};
constexpr GainRange kGainMin{0, 8};

// Sizes are the sensors' active areas at 500 dpi; the HMX02's 258 columns are
// deliberately not a multiple of four, as its bitmaps need padded rows.
const std::array<ReaderModel, 6> kModels{{
    {1, "HMP02", 0x0000, 240, 320, milliseconds(250), 0, kGainMax, kGainMin, 58, 8, 50, false,
     0x378, 3},
    {3, "HMX02", 0x0200, 258, 336, milliseconds(160), 0, kGainMax, kGainMin, 58, 8, 50, false, 0,
     0},
    {4, "HMX03", 0x0320, 260, 300, milliseconds(120), 1, kGainMax, kGainMin, 58, 8, 50, false, 0,
     0},
    {5, "HMX04", 0x0330, 280, 360, milliseconds(100), 0, kGainMax, kGainMin, 58, 8, 50, false, 0,
     0},
    {6, "HMX05", 0x2200, 300, 400, milliseconds(80), 2, kGainMax, kGainMin, 58, 8, 50, true, 0,
     0},
    {7, "HMX06", 0x2201, 272, 352, milliseconds(70), 2, kGainMax, kGainMin, 58, 8, 50, false, 0,
     0},
}};

}  // namespace

const ReaderModel* FindReaderModel(uint32_t type) {
  for (const ReaderModel& model : kModels) {
    if (model.type == type) return &model;
  }
  return nullptr;
}

}  // namespace simulator

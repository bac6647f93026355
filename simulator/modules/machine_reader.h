// The readers of the simulated machine, as the driver modules see them.
#pragma once

#include <cstdint>
#include <memory>

#include "simulator/modules/reader_port.h"

namespace simulator {

// The attached reader of `type` at device `index`, or null when there is none.
std::shared_ptr<ReaderPort> LocateMachineReader(uint32_t type, uint32_t index);

}  // namespace simulator

// `suspend` and `resume`: the system's power notices, as each system delivers them.
#pragma once

#include <chrono>
#include <ostream>

#include "simulator/machine/power_notices.h"

namespace sim {

// How long suspend waits for the answers, as the system's sleep waits for its
// delay inhibitors by default.
inline constexpr std::chrono::seconds kPowerAnswerWait{5};

// Tells every program on the machine, prints how many windows received the
// notice and, on a second line, how many had not answered in time.
void AnnouncePower(PowerNotice notice, std::ostream& out);

// The lines AnnouncePower prints, the same on every system.
void PrintPowerResult(PowerNotice notice, const PowerNoticeResult& result, std::ostream& out);

}  // namespace sim

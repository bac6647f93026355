// The machine's own notices, which the platform layer delivers as the system's.
#include "simulator/tool/power.h"

namespace sim {

void AnnouncePower(PowerNotice notice, std::ostream& out) {
  PrintPowerResult(notice, SendPowerNotice(notice, kPowerAnswerWait), out);
}

}  // namespace sim

#include "simulator/tool/power.h"

namespace sim {

void PrintPowerResult(PowerNotice notice, const PowerNoticeResult& result, std::ostream& out) {
  out << result.windows << (result.windows == 1 ? " window" : " windows") << " received the "
      << (notice == PowerNotice::Suspend ? "suspend" : "resume") << " notice\n";
  if (result.unanswered > 0) {
    out << result.unanswered << (result.unanswered == 1 ? " program" : " programs")
        << " had not answered after " << kPowerAnswerWait.count() << " s\n";
  }
}

}  // namespace sim

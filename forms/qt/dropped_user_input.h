// While one of these lives, the user's input to any window of the program is
// dropped: kept for later, it would act on controls that have changed since.
#pragma once

#include <QObject>

class QEvent;

namespace forms::qt {

class DroppedUserInput final : public QObject {
 public:
  DroppedUserInput();
  ~DroppedUserInput() override;
  DroppedUserInput(const DroppedUserInput&) = delete;
  DroppedUserInput& operator=(const DroppedUserInput&) = delete;

  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace forms::qt

// A registered window that keeps every message delivered to it.
#pragma once

#include <utility>
#include <vector>

#include "platform/window_host.h"

class RecordingWindow : public platform::WindowClient {
 public:
  void MessagesPosted() override {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
    messages.emplace_back(message, wParam);
    return 0;
  }
  void SurfaceChanged() override {}
  std::vector<std::pair<UINT, WPARAM>> messages;
};

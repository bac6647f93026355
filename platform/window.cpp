// Registered windows: their message queues and pixel surfaces.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <utility>

#include "platform/posted_answer.h"
#include "platform/power_events.h"
#include "platform/window_host.h"

namespace platform {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

struct PostedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::vector<uint8_t> record;  // owned; lParam points into it when not empty
  PostedAnswer answered;         // told WindowProc's result, or 0 when the message is dropped
};

void Answer(PostedMessage& message, LRESULT result) {
  if (message.answered) message.answered(result);
}

struct WindowState {
  std::mutex clientLock;  // guards `client` against unregistration while it is called
  WindowClient* client;
  Surface surface;
  std::mutex queueLock;
  std::deque<PostedMessage> queue;
};

std::mutex registryLock;
std::map<uintptr_t, std::shared_ptr<WindowState>> registry;
uintptr_t nextHandle = 0x10000;

std::shared_ptr<WindowState> Find(HWND window) {
  std::lock_guard guard(registryLock);
  auto it = registry.find(reinterpret_cast<uintptr_t>(window));
  return it == registry.end() ? nullptr : it->second;
}

void ResizeLocked(Surface& surface, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), kWhite);
  const int keepWidth = std::min(width, surface.width);
  const int keepHeight = std::min(height, surface.height);
  // With no column to keep there is no row to copy (and no pixel to address).
  for (int y = 0; keepWidth > 0 && y < keepHeight; ++y) {
    std::memcpy(&pixels[static_cast<size_t>(y) * width],
                &surface.pixels[static_cast<size_t>(y) * surface.width],
                static_cast<size_t>(keepWidth) * sizeof(uint32_t));
  }
  surface.pixels = std::move(pixels);
  surface.width = width;
  surface.height = height;
}

bool Enqueue(HWND window, PostedMessage message) {
  std::shared_ptr<WindowState> state = Find(window);
  if (!state) return false;
  {
    std::lock_guard guard(state->queueLock);
    if (!message.record.empty()) message.lParam = reinterpret_cast<LPARAM>(message.record.data());
    state->queue.push_back(std::move(message));
  }
  std::lock_guard guard(state->clientLock);
  if (!state->client) return false;
  state->client->MessagesPosted();
  return true;
}

}  // namespace

HWND RegisterWindow(WindowClient* client, int width, int height) {
  auto state = std::make_shared<WindowState>();
  state->client = client;
  ResizeLocked(state->surface, width, height);
  std::lock_guard guard(registryLock);
  const uintptr_t handle = nextHandle;
  nextHandle += 4;
  registry.emplace(handle, std::move(state));
  return reinterpret_cast<HWND>(handle);
}

void UnregisterWindow(HWND window) {
  std::shared_ptr<WindowState> state;
  {
    std::lock_guard guard(registryLock);
    auto it = registry.find(reinterpret_cast<uintptr_t>(window));
    if (it == registry.end()) return;
    state = std::move(it->second);
    registry.erase(it);
  }
  {
    std::lock_guard guard(state->clientLock);
    state->client = nullptr;
  }
  std::deque<PostedMessage> dropped;
  {
    std::lock_guard guard(state->queueLock);
    dropped.swap(state->queue);
  }
  for (PostedMessage& message : dropped) Answer(message, 0);
  ForgetPowerWatcher(window);
}

void ResizeSurface(HWND window, int width, int height) {
  WithSurface(window, [&](Surface& surface) { ResizeLocked(surface, width, height); });
}

bool WithSurface(HWND window, const std::function<void(Surface&)>& use) {
  std::shared_ptr<WindowState> state = Find(window);
  if (!state) return false;
  std::lock_guard guard(state->surface.lock);
  use(state->surface);
  return true;
}

void NotifySurfaceChanged(HWND window) {
  std::shared_ptr<WindowState> state = Find(window);
  if (!state) return;
  std::lock_guard guard(state->clientLock);
  if (state->client) state->client->SurfaceChanged();
}

bool IsWindowRegistered(HWND window) { return Find(window) != nullptr; }

int DispatchPostedMessages(HWND window) {
  std::shared_ptr<WindowState> state = Find(window);
  if (!state) return 0;
  int delivered = 0;
  for (;;) {
    PostedMessage message;
    {
      std::lock_guard guard(state->queueLock);
      if (state->queue.empty()) break;
      message = std::move(state->queue.front());
      state->queue.pop_front();
    }
    // The window thread owns the client; it cannot be unregistered while we run here.
    WindowClient* client = state->client;
    if (!client) {
      Answer(message, 0);
      break;
    }
    Answer(message, client->WindowProc(message.message, message.wParam, message.lParam));
    ++delivered;
  }
  return delivered;
}

bool PostMessageWithRecord(HWND window, UINT message, WPARAM wParam, std::vector<uint8_t> record) {
  return Enqueue(window, PostedMessage{message, wParam, 0, std::move(record), {}});
}

bool PostMessageWithAnswer(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           PostedAnswer answered) {
  return Enqueue(window, PostedMessage{message, wParam, lParam, {}, std::move(answered)});
}

}  // namespace platform

extern "C" BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!platform::Enqueue(window, platform::PostedMessage{message, wParam, lParam, {}, {}})) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

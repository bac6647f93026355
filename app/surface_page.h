// A page of the window that images are drawn on. It is a registered platform
// window owning a pixel surface the size of the page: device contexts of its
// handle draw into that surface from any thread, and paintEvent only copies
// the surface onto the screen.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <atomic>

#include "platform/window_host.h"

class TSurfacePage : public QWidget, private platform::WindowClient {
 public:
  explicit TSurfacePage(QWidget* parent = nullptr);
  ~TSurfacePage() override;

  HWND Handle() const { return handle_; }
  // Keeps `child` along the bottom edge, full width, as the page is resized.
  void AlignBottom(QWidget* child);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void MessagesPosted() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void SurfaceChanged() override;
  void FillSurfaceWithBackground();

  HWND handle_ = nullptr;
  // Drawing may come far faster than a screen shows it: one repaint is pending at
  // a time, and repaints are at least kMinRepaintIntervalMs apart, so a fast
  // live capture does not spend the window thread on frames nobody sees.
  static constexpr qint64 kMinRepaintIntervalMs = 15;
  std::atomic<bool> repaintQueued_{false};
  QElapsedTimer sinceRepaint_;  // window thread only
  QWidget* bottomChild_ = nullptr;
};

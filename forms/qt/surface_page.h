// A page of the window that images are drawn on. It is a registered platform
// window owning a pixel surface the size of the page: device contexts of its
// handle draw into that surface from any thread, and paintEvent only copies
// the surface onto the screen.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QRect>
#include <QWidget>
#include <atomic>

#include "platform/window_host.h"

class TSurfacePage : public QWidget, private platform::WindowClient {
 public:
  // Drawing may come far faster than a screen shows it: one repaint is pending at
  // a time, and repaints are at least kMinRepaintIntervalMs apart, so a fast
  // live capture does not spend the window thread on frames nobody sees.
  static constexpr qint64 kMinRepaintIntervalMs = 15;

  explicit TSurfacePage(QWidget* parent = nullptr);
  ~TSurfacePage() override;

  HWND Handle() const { return handle_; }
  // Keeps `child` along the bottom edge, full width, as the page is resized.
  void AlignBottom(QWidget* child);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void childEvent(QChildEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MessagesPosted() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void SurfaceChanged() override;
  uint32_t BackgroundPixel() const;
  void FillSurfaceWithBackground();
  // The part of `left` that `kept` does not cover gets the page background, as
  // the system erases the area a control moved, shrank or was hidden from.
  void EraseUncovered(const QRect& left, const QRect& kept);

  HWND handle_ = nullptr;
  std::atomic<bool> repaintQueued_{false};
  QElapsedTimer sinceRepaint_;  // window thread only
  QWidget* bottomChild_ = nullptr;
  // Where each shown child control lay when last seen.
  QHash<const QObject*, QRect> childAreas_;
};

// Drawing a captured image through the display bitmap, and saving it as BMP.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/dib.h"
#include "platform/window_host.h"

namespace {

class BenchWindow : public platform::WindowClient {
 public:
  BenchWindow(int width, int height) : handle_(platform::RegisterWindow(this, width, height)) {}
  ~BenchWindow() { platform::UnregisterWindow(handle_); }
  HWND Handle() const { return handle_; }
  void MessagesPosted() override {}
  LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
  void SurfaceChanged() override {}

 private:
  HWND handle_;
};

std::vector<uint8_t> Fingerprint(int width, int height) {
  std::vector<uint8_t> image(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>((x * x + y * 3) >> 2);
  }
  return image;
}

// SetImage + Draw of a source image drawn at `destWidth` x height, as the
// window does for every capture.
void DrawImage(benchmark::State& state, int sourceWidth, int destWidth) {
  constexpr int kHeight = 400;
  const auto image = Fingerprint(sourceWidth, kHeight);
  BenchWindow window(destWidth, kHeight);
  CDibClass dib(window.Handle());
  dib.Create(sourceWidth, kHeight);
  HDC dc = GetDC(window.Handle());
  const RECT rect{0, 0, destWidth, kHeight};
  for (auto _ : state) dib.DrawImage(dc, &rect, image.data());
  ReleaseDC(window.Handle(), dc);
  state.SetItemsProcessed(state.iterations() * destWidth * kHeight);
}

void BM_DrawImage300x400(benchmark::State& state) { DrawImage(state, 300, 300); }
void BM_DrawImage258StretchedOver258(benchmark::State& state) { DrawImage(state, 258, 258); }

class TempFolder {
 public:
  TempFolder() : path_(std::filesystem::temp_directory_path() / "tolvane-bench-imaging") {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void BM_BitmapWriteBmp300x400(benchmark::State& state) {
  const auto image = Fingerprint(300, 400);
  TempFolder folder;
  const std::string path = folder.File("bitmap.bmp");
  Bitmap bitmap;
  for (auto _ : state) {
    if (!bitmap.WriteBmp(300, 400, image.data(), path.c_str())) state.SkipWithError("WriteBmp failed");
  }
}

void BM_QImageSaveBmp300x400(benchmark::State& state) {
  const auto image = Fingerprint(300, 400);
  TempFolder folder;
  const QString path = QString::fromStdString(folder.File("qimage.bmp"));
  for (auto _ : state) {
    const QImage gray(image.data(), 300, 400, 300, QImage::Format_Grayscale8);
    if (!gray.save(path, "BMP")) state.SkipWithError("QImage::save failed");
  }
}

}  // namespace

BENCHMARK(BM_DrawImage300x400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawImage258StretchedOver258)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BitmapWriteBmp300x400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QImageSaveBmp300x400)->Unit(benchmark::kMicrosecond);

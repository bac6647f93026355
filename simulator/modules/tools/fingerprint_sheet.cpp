// Writes a sheet of synthesized fingerprints: one row per reader serial, showing
// two frames at normal brightness, a dark and a light frame, and an empty sensor.
//   fingerprint_sheet OUTPUT.png
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <vector>

#include "simulator/modules/fingerprint.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  constexpr int kWidth = 300;
  constexpr int kHeight = 400;
  constexpr int kGap = 8;
  const char* serials[] = {"R20-0001", "HMX02-7731", "RPX-4410"};
  struct Column {
    uint64_t frame;
    simulator::FrameSettings settings;
  };
  const Column columns[] = {{0, {50, 1.0, true}},
                            {1, {50, 1.0, true}},
                            {2, {20, 0.6, true}},
                            {3, {80, 1.3, true}},
                            {4, {50, 1.0, false}}};
  constexpr int kColumns = sizeof columns / sizeof columns[0];
  constexpr int kRows = sizeof serials / sizeof serials[0];

  QImage sheet(kColumns * (kWidth + kGap) + kGap, kRows * (kHeight + kGap) + kGap,
               QImage::Format_Grayscale8);
  sheet.fill(Qt::darkGray);
  QPainter painter(&sheet);
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight);
  for (int row = 0; row < kRows; ++row) {
    const simulator::FingerprintSynthesizer finger(kWidth, kHeight, serials[row]);
    for (int column = 0; column < kColumns; ++column) {
      finger.Render(columns[column].frame, columns[column].settings, pixels);
      const QImage frame(pixels.data(), kWidth, kHeight, kWidth, QImage::Format_Grayscale8);
      painter.drawImage(kGap + column * (kWidth + kGap), kGap + row * (kHeight + kGap), frame);
    }
  }
  painter.end();
  // Two thirds of full size keeps the picture small enough for the documentation.
  const QImage scaled = sheet.scaledToWidth(sheet.width() * 2 / 3, Qt::SmoothTransformation);
  if (!scaled.save(argv[1], "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

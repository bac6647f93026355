// Synthetic fingerprint frames for the simulated readers.
//
// Each reader serial has one finger: its ridge pattern is computed once, in
// closed form per pixel, from the phase model of a fringe pattern: the cosine of
// a smooth phase (loops around a core, straight ridges below meeting them at a
// delta) plus one spiral phase term per minutia, which starts or ends a ridge
// there (a ridge ending or a bifurcation). Every frame then lays that pattern
// into a finger-shaped contact area with its own position, pressure and sensor
// noise, so that a frame costs only a table look-up per pixel.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace simulator {

struct FrameSettings {
  int32_t brightness = 50;  // 0..100; the mean gray rises with it
  double contrast = 1.0;    // ridge depth factor, about 0.3..1.5
  bool fingerPresent = true;
};

class FingerprintSynthesizer {
 public:
  // width and height of the frames, at least 1 each.
  FingerprintSynthesizer(int width, int height, std::string_view serial);

  int width() const { return width_; }
  int height() const { return height_; }

  // Fills `image` (width × height bytes, top row first) with frame number `frame`
  // and returns its quality, 0..100. The same serial, frame and settings give the
  // same bytes. `image` must hold width × height bytes.
  int Render(uint64_t frame, const FrameSettings& settings, std::span<uint8_t> image) const;

  // Horizontal and vertical room around the frame that the finger may move into.
  static constexpr int kMargin = 24;

 private:
  int width_;
  int height_;
  uint64_t seed_;
  std::vector<uint8_t> ridges_;  // (width + 2 margin) × (height + 2 margin), 0 valley .. 255 ridge
};

}  // namespace simulator

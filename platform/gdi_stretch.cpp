// Scaling an 8-bit DIB onto a pixel surface: exact copy, nearest pixel, or area
// averaging (what HALFTONE stands for here).
#include "platform/gdi_stretch.h"

#include <algorithm>
#include <vector>

namespace platform::gdi {
namespace {

// Area weights are fixed point: the weights of one destination pixel sum to 1 << 16.
constexpr int kWeightBits = 16;
constexpr int64_t kWeightOne = int64_t{1} << kWeightBits;

// The part of a destination span that lies on the surface, as [first, last).
struct Clip {
  int first;
  int last;
};

Clip ClipSpan(int start, int length, int limit) {
  const int64_t first = std::max<int64_t>(start, 0);
  const int64_t last = std::min<int64_t>(int64_t{start} + length, limit);
  return {static_cast<int>(first), static_cast<int>(std::max(first, last))};
}

// The source pixels that cover each destination pixel, with their shares of it.
// Every destination pixel has `perPixel` entries; unused ones weigh nothing.
struct Taps {
  int perPixel;
  std::vector<int32_t> index;  // source pixel, relative to the source area
  std::vector<uint32_t> weight;
};

// Destination pixel d of `dest` covers [d * source, (d + 1) * source) in units of
// 1 / dest source pixels; each source pixel s covers [s * dest, (s + 1) * dest).
// Weights come from rounded running sums so that each pixel's weights add up to
// exactly kWeightOne and a uniform area keeps its value.
Taps AreaTaps(int source, int dest, int offset, Clip clip) {
  const int64_t s = source;
  const int64_t n = dest;
  Taps taps{static_cast<int>((s + n - 1) / n + 1), {}, {}};
  const size_t entries = static_cast<size_t>(clip.last - clip.first) * static_cast<size_t>(taps.perPixel);
  taps.index.reserve(entries);
  taps.weight.reserve(entries);
  auto share = [s](int64_t part) { return (part * kWeightOne + s / 2) / s; };
  for (int x = clip.first; x < clip.last; ++x) {
    const int64_t start = (x - offset) * s;
    const int64_t end = start + s;
    const int64_t first = start / n;
    for (int k = 0; k < taps.perPixel; ++k) {
      const int64_t i = std::min(first + k, (end - 1) / n);
      const int64_t from = std::max(start, i * n) - start;
      const int64_t to = std::min(end, (i + 1) * n) - start;
      taps.index.push_back(static_cast<int32_t>(i));
      taps.weight.push_back(first + k == i ? static_cast<uint32_t>(share(to) - share(from)) : 0);
    }
  }
  return taps;
}

// The source pixel nearest to the centre of each destination pixel.
std::vector<int32_t> NearestMap(int source, int dest, int offset, Clip clip) {
  std::vector<int32_t> map;
  map.reserve(static_cast<size_t>(clip.last - clip.first));
  for (int x = clip.first; x < clip.last; ++x) {
    const int64_t d = x - offset;
    map.push_back(static_cast<int32_t>(((2 * d + 1) * source) / (2 * int64_t{dest})));
  }
  return map;
}

class Stretcher {
 public:
  Stretcher(const DibView& dib, const Area& source, const Area& dest, Surface& surface)
      : dib_(dib), source_(source), dest_(dest), surface_(surface),
        columns_(ClipSpan(dest.x, dest.width, surface.width)),
        rows_(ClipSpan(dest.y, dest.height, surface.height)) {}

  bool Empty() const { return columns_.first == columns_.last || rows_.first == rows_.last; }
  bool SameSize() const {
    return source_.width == dest_.width && source_.height == dest_.height;
  }

  void Copy() {
    for (int y = rows_.first; y < rows_.last; ++y) {
      const uint8_t* src = SourceRow(y - dest_.y) + (columns_.first - dest_.x);
      uint32_t* dst = SurfaceRow(y) + columns_.first;
      const int count = columns_.last - columns_.first;
      for (int i = 0; i < count; ++i) dst[i] = dib_.colors[src[i]];
    }
  }

  void Nearest() {
    const std::vector<int32_t> columns = NearestMap(source_.width, dest_.width, dest_.x, columns_);
    const std::vector<int32_t> rows = NearestMap(source_.height, dest_.height, dest_.y, rows_);
    for (int y = rows_.first; y < rows_.last; ++y) {
      const uint8_t* src = SourceRow(rows[y - rows_.first]);
      uint32_t* dst = SurfaceRow(y) + columns_.first;
      for (size_t i = 0; i < columns.size(); ++i) dst[i] = dib_.colors[src[columns[i]]];
    }
  }

  void Average() {
    if (dib_.gray) {
      AverageChannels<1>();
    } else {
      AverageChannels<3>();
    }
  }

 private:
  // Row r of the source area, counted from its top edge, starting at its left edge.
  const uint8_t* SourceRow(int r) const {
    const int64_t memoryRow = dib_.bottomUp ? int64_t{source_.y} + source_.height - 1 - r
                                            : int64_t{source_.y} + r;
    return dib_.bits + static_cast<size_t>(memoryRow) * dib_.stride + source_.x;
  }

  uint32_t* SurfaceRow(int y) const {
    return surface_.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(surface_.width);
  }

  // Channels == 1: the table is gray, so one level stands for red, green and blue.
  template <int Channels>
  using Levels = std::array<std::array<uint32_t, 256>, Channels>;

  template <int Channels>
  Levels<Channels> ChannelLevels() const {
    Levels<Channels> levels;
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < Channels; ++c) levels[c][i] = (dib_.colors[i] >> (8 * c)) & 0xFFu;
    }
    return levels;
  }

  // Destination column j of one source row, each channel scaled by kWeightOne.
  // PerPixel is the taps' perPixel when known at compile time, else 0.
  template <int Channels, int PerPixel>
  static std::array<uint32_t, Channels> MixAcross(const Levels<Channels>& levels, const Taps& across,
                                                  const uint8_t* src, size_t j) {
    const int count = PerPixel != 0 ? PerPixel : across.perPixel;
    const int32_t* index = across.index.data() + j * count;
    const uint32_t* weight = across.weight.data() + j * count;
    std::array<uint32_t, Channels> mixed{};
    for (int k = 0; k < count; ++k) {
      const uint8_t value = src[index[k]];
      for (int c = 0; c < Channels; ++c) mixed[c] += levels[c][value] * weight[k];
    }
    return mixed;
  }

  template <int Channels, typename Level>
  static uint32_t Pack(const Level* scaled, int shift) {
    const Level half = Level{1} << (shift - 1);
    uint32_t pixel = 0xFF000000u;
    for (int c = 0; c < 3; ++c) {
      const Level level = (scaled[Channels == 1 ? 0 : c] + half) >> shift;
      pixel |= static_cast<uint32_t>(level) << (8 * c);
    }
    return pixel;
  }

  template <int Channels>
  void AverageChannels() {
    const Taps across = AreaTaps(source_.width, dest_.width, dest_.x, columns_);
    // Enlarging, as when the display width is drawn over the source width,
    // takes at most two source pixels for each destination pixel.
    if (across.perPixel == 2) {
      AverageChannels<Channels, 2>(across);
    } else {
      AverageChannels<Channels, 0>(across);
    }
  }

  template <int Channels, int PerPixel>
  void AverageChannels(const Taps& across) {
    const Levels<Channels> levels = ChannelLevels<Channels>();
    const size_t columnCount = static_cast<size_t>(columns_.last - columns_.first);
    if (source_.height == dest_.height) {
      // Only the width changes (the usual case): one source row per surface row.
      for (int y = rows_.first; y < rows_.last; ++y) {
        const uint8_t* src = SourceRow(y - dest_.y);
        uint32_t* dst = SurfaceRow(y) + columns_.first;
        for (size_t j = 0; j < columnCount; ++j) {
          dst[j] = Pack<Channels>(MixAcross<Channels, PerPixel>(levels, across, src, j).data(), kWeightBits);
        }
      }
      return;
    }
    const Taps down = AreaTaps(source_.height, dest_.height, dest_.y, rows_);
    std::vector<uint64_t> sums(columnCount * Channels);
    for (int y = rows_.first; y < rows_.last; ++y) {
      std::fill(sums.begin(), sums.end(), 0);
      const size_t first = static_cast<size_t>(y - rows_.first) * static_cast<size_t>(down.perPixel);
      for (size_t t = first; t < first + static_cast<size_t>(down.perPixel); ++t) {
        if (down.weight[t] == 0) continue;
        const uint8_t* src = SourceRow(down.index[t]);
        const uint64_t rowWeight = down.weight[t];
        for (size_t j = 0; j < columnCount; ++j) {
          const auto mixed = MixAcross<Channels, PerPixel>(levels, across, src, j);
          for (int c = 0; c < Channels; ++c) sums[j * Channels + c] += mixed[c] * rowWeight;
        }
      }
      uint32_t* dst = SurfaceRow(y) + columns_.first;
      for (size_t j = 0; j < columnCount; ++j) {
        dst[j] = Pack<Channels>(sums.data() + j * Channels, 2 * kWeightBits);
      }
    }
  }

  const DibView& dib_;
  const Area source_;
  const Area dest_;
  Surface& surface_;
  const Clip columns_;
  const Clip rows_;
};

}  // namespace

void StretchOntoSurface(const DibView& dib, const Area& source, const Area& dest,
                        bool averaging, Surface& surface) {
  Stretcher stretcher(dib, source, dest, surface);
  if (stretcher.Empty()) return;
  if (stretcher.SameSize()) {
    stretcher.Copy();
  } else if (averaging) {
    stretcher.Average();
  } else {
    stretcher.Nearest();
  }
}

}  // namespace platform::gdi

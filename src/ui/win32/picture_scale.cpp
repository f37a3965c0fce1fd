#include "ui/win32/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ui/win32/gdi_resources.h"

namespace orvane::ui::win32 {

namespace {

// Where a destination pixel's centre falls in the source: two neighbours and
// the weight of the second.
struct Tap {
  int first, second;
  float weight;
};

std::vector<Tap> Taps(int from, int to) {
  std::vector<Tap> taps(static_cast<std::size_t>(to));
  const float ratio = static_cast<float>(from) / static_cast<float>(to);
  for (int i = 0; i < to; ++i) {
    float at = std::clamp((static_cast<float>(i) + 0.5f) * ratio - 0.5f, 0.0f, static_cast<float>(from - 1));
    int first = static_cast<int>(at);
    taps[static_cast<std::size_t>(i)] = {first, std::min(first + 1, from - 1), at - static_cast<float>(first)};
  }
  return taps;
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, float weight) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    float ca = static_cast<float>((a >> shift) & 0xFFu);
    float cb = static_cast<float>((b >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>(std::lround(ca + (cb - ca) * weight)) << shift;
  }
  return out;
}

}  // namespace

std::vector<std::uint32_t> ResizeBilinear(const std::vector<std::uint32_t>& pixels, int width, int height,
                                          int newWidth, int newHeight) {
  if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0 ||
      pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return {};
  }
  const std::vector<Tap> columns = Taps(width, newWidth);
  const std::vector<Tap> rows = Taps(height, newHeight);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight));
  auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; };
  for (int y = 0; y < newHeight; ++y) {
    const Tap& row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < newWidth; ++x) {
      const Tap& col = columns[static_cast<std::size_t>(x)];
      std::uint32_t top = Mix(at(col.first, row.first), at(col.second, row.first), col.weight);
      std::uint32_t bottom = Mix(at(col.first, row.second), at(col.second, row.second), col.weight);
      out[static_cast<std::size_t>(y) * newWidth + x] = Mix(top, bottom, row.weight);
    }
  }
  return out;
}

SIZE ScaledSize(SIZE designSize, int dpi) {
  return {::MulDiv(designSize.cx, dpi, kDesignDpi), ::MulDiv(designSize.cy, dpi, kDesignDpi)};
}

UniqueBitmap ScaleToDpi(UniqueBitmap bitmap, int dpi) {
  SIZE size = BitmapSize(bitmap.get());
  SIZE target = ScaledSize(size, dpi);
  if (size.cx == 0 || size.cy == 0 || dpi == kDesignDpi || target.cx <= 0 || target.cy <= 0) return bitmap;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy));
  {
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc || ::GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(size.cy), pixels.data(), &info,
                           DIB_RGB_COLORS) != size.cy) {
      return bitmap;  // shown unscaled rather than not at all
    }
  }
  std::vector<std::uint32_t> scaled = ResizeBilinear(pixels, size.cx, size.cy, target.cx, target.cy);

  info.bmiHeader.biWidth = target.cx;
  info.bmiHeader.biHeight = -target.cy;
  void* bits = nullptr;
  UniqueBitmap result(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!result || bits == nullptr) return bitmap;
  std::memcpy(bits, scaled.data(), scaled.size() * sizeof scaled[0]);
  return result;
}

}  // namespace orvane::ui::win32

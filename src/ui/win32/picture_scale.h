#pragma once
// Skin pictures are designed at 96 dpi; at other resolutions they are drawn
// enlarged (or reduced) with a smoothing filter.
#include <cstdint>
#include <vector>

#include "ui/win32/gdi_handles.h"

namespace orvane::ui::win32 {

constexpr int kDesignDpi = 96;

// 32-bit pixels, rows top-down, resampled bilinearly to width x height
// (pixel centres aligned, edges clamped).
std::vector<std::uint32_t> ResizeBilinear(const std::vector<std::uint32_t>& pixels, int width, int height,
                                          int newWidth, int newHeight);

// A picture's size in pixels at a resolution.
SIZE ScaledSize(SIZE designSize, int dpi);

// The bitmap as it is shown at this resolution: itself at 96 dpi, otherwise a
// smoothed copy of its scaled size (the original is released).
UniqueBitmap ScaleToDpi(UniqueBitmap bitmap, int dpi);

}  // namespace orvane::ui::win32

#include "ui/toolkit/placement.h"

#include <algorithm>

namespace orvane::ui {
namespace {

// The start of a span of `size` centred over [from, to), kept inside [low, high).
int Place(int size, int from, int to, int low, int high) {
  int start = from + (to - from - size) / 2;
  start = std::min(start, high - size);
  return std::max(start, low);
}

}  // namespace

PixelBox CentredInside(int width, int height, const PixelBox& over, const PixelBox& area) {
  int left = Place(width, over.left, over.right, area.left, area.right);
  int top = Place(height, over.top, over.bottom, area.top, area.bottom);
  return {left, top, left + width, top + height};
}

}  // namespace orvane::ui

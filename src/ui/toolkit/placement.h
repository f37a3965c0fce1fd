#pragma once
// Where a new window goes on the screen, in pixels.

namespace orvane::ui {

struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelBox&) const = default;
};

// A width x height window centred over `over`, then moved, never resized, to
// lie inside `area`; one larger than the area keeps its top left corner in it.
PixelBox CentredInside(int width, int height, const PixelBox& over, const PixelBox& area);

}  // namespace orvane::ui

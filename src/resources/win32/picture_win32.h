#pragma once
// Skin pictures from the program's own resources.
#include <windows.h>

#include <cstdint>

namespace orvane {

// The bitmap with this identifier as a DIB section keeping its colour depth,
// loaded afresh; null when absent. The caller owns it (UniqueHbitmap).
HBITMAP LoadSkinBitmap(std::uint16_t id);

// A bitmap as stored in the program's resources, drawn from there without a
// copy (SetDIBitsToDevice); valid while the program runs.
struct StoredBitmap {
  const BITMAPINFO* info = nullptr;
  const void* pixels = nullptr;  // null when absent or in a form not handled here
  int width = 0;
  int height = 0;
};
StoredBitmap FindSkinBitmap(std::uint16_t id);

}  // namespace orvane

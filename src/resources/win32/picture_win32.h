#pragma once
// Skin pictures from the program's own resources.
#include <windows.h>

#include <cstdint>

namespace orvane {

// The bitmap with this identifier as a DIB section keeping its colour depth,
// loaded afresh; null when absent. The caller owns it (UniqueHbitmap).
HBITMAP LoadSkinBitmap(std::uint16_t id);

}  // namespace orvane

#include "resources/win32/picture_win32.h"

namespace orvane {

HBITMAP LoadSkinBitmap(std::uint16_t id) {
  // A DIB section keeps the stored depth; a plain bitmap would take the screen's.
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION));
}

}  // namespace orvane

#pragma once
// Colours, fonts and skin pictures as GDI objects.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "ui/toolkit/basics.h"
#include "ui/win32/gdi_handles.h"

namespace orvane::ui::win32 {

// 0x00BBGGRR as it is, or a system colour for 0x80000000 + index.
COLORREF ResolveColor(Color color);

// A bitmap resource of this program, loaded afresh; empty when missing.
UniqueBitmap LoadBitmapResource(std::uint16_t id);
// Width and height in pixels of a loaded bitmap; zero for none.
SIZE BitmapSize(HBITMAP bitmap);

// Fonts for the model's font descriptions, at the cache's resolution or at
// the one given. A face that the system does not have is replaced by one that
// shows the same script.
class FontCache {
 public:
  explicit FontCache(int dpi) : dpi_(dpi) {}
  HFONT Get(const Font& font) { return Get(font, dpi_); }
  HFONT Get(const Font& font, int dpi);
  // The face actually asked of GDI for a font name.
  std::wstring FaceFor(const Font& font);

 private:
  int dpi_;
  std::map<std::tuple<std::string, std::uint64_t, int>, UniqueFont> fonts_;
  std::map<std::pair<std::string, int>, std::wstring> faces_;
};

}  // namespace orvane::ui::win32

#pragma once
// Units, colours, fonts and mouse data shared by every widget.
#include <cstdint>
#include <string>

namespace orvane::ui {

using Twips = float;          // 1440 per inch; 15 per pixel at 96 dpi
using Color = std::uint32_t;  // 0x00BBGGRR, or 0x80000000 + system colour index

constexpr Color kSystemColorFlag = 0x80000000u;
constexpr Color kWhite = 0x00FFFFFFu;
constexpr Color kBlack = 0x00000000u;

// Mouse buttons as a bit set.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

struct MouseEvent {
  int buttons = 0;  // bit set of the buttons held (for MouseDown/Up: the button that changed)
  int shift = 0;    // 1 shift, 2 ctrl, 4 alt
  Twips x = 0;      // relative to the widget that receives the event
  Twips y = 0;
};

struct Font {
  std::string name = "宋体";
  float sizePt = 9.0f;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int charset = 134;  // GB2312
  bool operator==(const Font&) const = default;
};

enum class MousePointer { Default, Arrow, Hand };

using CursorHandle = std::uintptr_t;  // 0: none

struct Rect {
  Twips left = 0, top = 0, width = 0, height = 0;
  bool Contains(Twips x, Twips y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

struct TextSize {
  Twips width = 0;
  Twips height = 0;
};

}  // namespace orvane::ui

#pragma once
// What a widget tells screen readers about itself, set by window logic.
#include <cstdint>
#include <string>

namespace orvane::ui {

class Widget;

enum class AccRole { None, CheckBox, PushButton, Link, List, StaticText, Text };

struct AccessibleInfo {
  AccRole role = AccRole::None;
  // The name, first of: a string-table text, the visible text of
  // `labelledBy`, the widget's own visible text, its tool tip.
  std::uint16_t nameString = 0;
  const Widget* labelledBy = nullptr;
  // Read after the name while it is shown: a row's result label.
  const Widget* describedBy = nullptr;
};

}  // namespace orvane::ui

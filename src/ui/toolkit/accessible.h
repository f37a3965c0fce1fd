#pragma once
// The accessible view of a form, built from its widgets: what a screen
// reader gets as the window's children. The native side only adapts it.
#include <string>
#include <vector>

#include "ui/toolkit/form.h"

namespace orvane::ui {

enum AccState : unsigned {
  kAccChecked = 1u << 0,
  kAccFocused = 1u << 1,
  kAccFocusable = 1u << 2,
  kAccUnavailable = 1u << 3,
  kAccInvisible = 1u << 4,
  kAccOffscreen = 1u << 5,  // scrolled out of its frame
  kAccReadOnly = 1u << 6,
};

struct AccNode {
  Widget* widget = nullptr;
  int line = -1;  // a line of the list `widget`, or -1
  AccRole role = AccRole::None;
  std::string name;
  std::string value;        // a text box's text
  std::string description;  // e.g. a row's result
  unsigned state = 0;
  Rect bounds;  // in the form's client area
};

// Every widget with a role, in tree order; a list's lines follow the list.
std::vector<AccNode> AccessibleChildren(const Form& form);
// The node of the focused widget, or -1.
int FocusedAccessible(const std::vector<AccNode>& nodes);
// Names the default action (a click's effect); empty when there is none.
std::string DefaultActionName(const AccNode& node);
// Does what a click would; false when the node has no action or cannot be used.
bool DoDefaultAction(const AccNode& node);

}  // namespace orvane::ui

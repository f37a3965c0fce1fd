#include "ui/toolkit/accessible.h"

#include <algorithm>
#include <cstdint>

#include "resources/catalogue.h"

namespace orvane::ui {

namespace {

constexpr std::uint16_t kPressAction = 3303;
constexpr std::uint16_t kCheckAction = 3304;
constexpr std::uint16_t kUncheckAction = 3305;
constexpr std::uint16_t kJumpAction = 3306;

// The text a person sees on the widget: a caption, or a box's text, or the
// caption of the first label inside it.
std::string VisibleText(const Widget& w) {
  switch (w.Kind()) {
    case WidgetKind::Label:
      return static_cast<const Label&>(w).Caption();
    case WidgetKind::TextBox:
      return static_cast<const TextBox&>(w).Text();
    default:
      break;
  }
  if (const auto* c = dynamic_cast<const Container*>(&w)) {
    for (const auto& child : c->Children()) {
      std::string text = VisibleText(*child);
      if (!text.empty()) return text;
    }
  }
  return {};
}

std::string NameOf(const Widget& w) {
  const AccessibleInfo& info = w.accessible;
  if (info.nameString != 0) return LoadString(info.nameString);
  if (info.labelledBy != nullptr) return VisibleText(*info.labelledBy);
  if (w.Kind() != WidgetKind::TextBox) {
    std::string text = VisibleText(w);
    if (!text.empty()) return text;
  }
  return w.ToolTip();
}

std::string DescriptionOf(const Widget& w) {
  const Widget* by = w.accessible.describedBy;
  if (by == nullptr || !by->Shown()) return {};
  std::string text = VisibleText(*by);
  if (!by->ToolTip().empty()) text += (text.empty() ? "" : " ") + by->ToolTip();
  return text;
}

// Cut to every container it lies in; nothing left means scrolled away.
bool Offscreen(const Widget& w) {
  Rect r = w.FormBounds();
  for (const Widget* p = w.Parent(); p != nullptr && p->Kind() != WidgetKind::Form; p = p->Parent()) {
    const Rect frame = p->FormBounds();
    const Twips left = std::max(r.left, frame.left);
    const Twips top = std::max(r.top, frame.top);
    const Twips right = std::min(r.left + r.width, frame.left + frame.width);
    const Twips bottom = std::min(r.top + r.height, frame.top + frame.height);
    if (right <= left || bottom <= top) return true;
    r = {left, top, right - left, bottom - top};
  }
  return false;
}

unsigned StateOf(const Widget& w) {
  unsigned state = 0;
  if (w.AccessibleChecked()) state |= kAccChecked;
  if (w.TabStop()) state |= kAccFocusable;
  const Form* form = w.OwnerForm();
  if (form != nullptr && form->Focused() == &w) state |= kAccFocused;
  if (!w.Shown()) {
    state |= kAccInvisible;
  } else if (Offscreen(w)) {
    state |= kAccOffscreen;
  }
  for (const Widget* p = &w; p != nullptr; p = p->Parent()) {
    if (!p->Enabled()) state |= kAccUnavailable;
  }
  if (w.Kind() == WidgetKind::TextBox && static_cast<const TextBox&>(w).Locked()) state |= kAccReadOnly;
  return state;
}

void AddLines(ListBox& list, const AccNode& listNode, std::vector<AccNode>& out) {
  for (int i = 0; i < list.ListCount(); ++i) {
    AccNode line;
    line.widget = &list;
    line.line = i;
    line.role = AccRole::CheckBox;
    line.name = list.List(i);
    line.state = (listNode.state & (kAccUnavailable | kAccInvisible)) | (list.Selected(i) ? unsigned{kAccChecked} : 0u);
    line.bounds = listNode.bounds;
    out.push_back(std::move(line));
  }
}

void Collect(const Container& c, std::vector<AccNode>& out) {
  for (const auto& child : c.Children()) {
    Widget& w = *child;
    if (w.accessible.role != AccRole::None) {
      AccNode node;
      node.widget = &w;
      node.role = w.accessible.role;
      node.name = NameOf(w);
      if (w.Kind() == WidgetKind::TextBox) node.value = static_cast<const TextBox&>(w).Text();
      node.description = DescriptionOf(w);
      node.state = StateOf(w);
      node.bounds = w.FormBounds();
      out.push_back(node);
      if (w.Kind() == WidgetKind::ListBox) AddLines(static_cast<ListBox&>(w), node, out);
      continue;  // a control with a role speaks for its parts
    }
    if (const auto* inner = dynamic_cast<const Container*>(&w)) Collect(*inner, out);
  }
}

}  // namespace

std::vector<AccNode> AccessibleChildren(const Form& form) {
  std::vector<AccNode> nodes;
  Collect(form, nodes);
  return nodes;
}

int FocusedAccessible(const std::vector<AccNode>& nodes) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].line < 0 && (nodes[i].state & kAccFocused) != 0) return static_cast<int>(i);
  }
  return -1;
}

std::string DefaultActionName(const AccNode& node) {
  switch (node.role) {
    case AccRole::PushButton:
      return LoadString(kPressAction);
    case AccRole::CheckBox:
      return LoadString((node.state & kAccChecked) != 0 ? kUncheckAction : kCheckAction);
    case AccRole::Link:
      return LoadString(kJumpAction);
    default:
      return {};
  }
}

bool DoDefaultAction(const AccNode& node) {
  if (node.widget == nullptr || DefaultActionName(node).empty() || !node.widget->Usable()) return false;
  if (node.line >= 0) {
    auto& list = static_cast<ListBox&>(*node.widget);
    if (node.line >= list.ListCount()) return false;
    list.SetSelected(node.line, !list.Selected(node.line));
    return true;
  }
  return Form::Press(*node.widget);
}

}  // namespace orvane::ui

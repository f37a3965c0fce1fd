#include "ui/toolkit/widget.h"

#include <algorithm>

#include "ui/toolkit/form.h"

namespace orvane::ui {

Widget::Widget(WidgetKind kind, std::string name, int index)
    : kind_(kind), name_(std::move(name)), index_(index) {}

// Children die with their container, possibly while the form itself is being
// torn down, so nothing here may reach the form or its peer.
Widget::~Widget() = default;

Form* Widget::OwnerForm() const {
  const Widget* w = this;
  while (w->parent_ != nullptr) w = w->parent_;
  if (w->kind_ != WidgetKind::Form) return nullptr;
  return static_cast<Form*>(const_cast<Widget*>(w));
}

void Widget::Notify(Change what) {
  if (Form* form = OwnerForm()) form->NotifyPeer(*this, what);
}

void Widget::Move(const Rect& r) {
  if (r.left == rect_.left && r.top == rect_.top && r.width == rect_.width &&
      r.height == rect_.height) {
    return;
  }
  const bool resized = r.width != rect_.width || r.height != rect_.height;
  rect_ = r;
  Notify(Change::Geometry);
  if (resized) OnResized();
}

void Widget::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  Notify(Change::Visible);
}

void Widget::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  Notify(Change::Enabled);
}

void Widget::SetPointer(MousePointer p) {
  if (pointer_ == p) return;
  pointer_ = p;
  Notify(Change::Pointer);
}

void Widget::SetToolTip(std::string text) {
  if (toolTip_ == text) return;
  toolTip_ = std::move(text);
  Notify(Change::ToolTip);
}

void Widget::FireClick() {
  if (onClick) onClick();
}

bool Widget::FireMouseWheel(int delta) {
  for (Widget* w = this; w != nullptr; w = w->parent_) {
    if (w->onMouseWheel && w->onMouseWheel(delta)) return true;
  }
  return false;
}

Rect Widget::FormBounds() const {
  Rect r{0, 0, rect_.width, rect_.height};
  if (kind_ == WidgetKind::Form) return r;
  r.left = rect_.left;
  r.top = rect_.top;
  for (const Widget* p = parent_; p != nullptr && p->kind_ != WidgetKind::Form; p = p->parent_) {
    r.left += p->rect_.left;
    r.top += p->rect_.top;
  }
  return r;
}

bool Widget::Shown() const {
  for (const Widget* w = this; w != nullptr; w = w->parent_) {
    if (!w->visible_) return false;
  }
  return true;
}

bool Widget::Usable() const {
  for (const Widget* w = this; w != nullptr; w = w->parent_) {
    if (!w->visible_ || !w->enabled_) return false;
  }
  return true;
}

void Widget::OnAttached() {}

void Container::Adopt(std::unique_ptr<Widget> child) {
  Widget& w = *child;
  w.parent_ = this;
  children_.push_back(std::move(child));
  w.Notify(Change::Added);
  if (OwnerForm() != nullptr) AttachTree(w);
}

// Gives widgets built before they had a form the chance to measure
// themselves against the form's platform.
void Container::AttachTree(Widget& w) {
  w.OnAttached();
  if (auto* c = dynamic_cast<Container*>(&w)) {
    for (const auto& child : c->children_) AttachTree(*child);
  }
}

static bool Contains(const Widget& root, const Widget* w) {
  for (; w != nullptr; w = w->Parent()) {
    if (w == &root) return true;
  }
  return false;
}

void Container::Remove(Widget& child) {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [&](const auto& p) { return p.get() == &child; });
  if (it == children_.end()) return;
  child.Notify(Change::Removing);
  if (Form* form = OwnerForm(); form != nullptr && Contains(child, form->Focused())) {
    form->SetFocus(nullptr);
  }
  std::unique_ptr<Widget> owned = std::move(*it);
  children_.erase(it);
  owned.reset();
}

void Container::SetBackColor(Color c) {
  if (backColor_ == c) return;
  backColor_ = c;
  Notify(Change::Colors);
}

Widget* Container::HitTest(Twips x, Twips y) {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    Widget& child = **it;
    if (!child.Visible() || !child.Bounds().Contains(x, y)) continue;
    if (auto* c = dynamic_cast<Container*>(&child)) return c->HitTest(x - child.Left(), y - child.Top());
    return &child;
  }
  return this;
}

}  // namespace orvane::ui

#include "ui/toolkit/form.h"

#include <algorithm>
#include <vector>

namespace orvane::ui {

namespace {

void CollectFocusable(const Container& c, std::vector<Widget*>& out) {
  for (const auto& child : c.Children()) {
    if (child->CanFocus()) out.push_back(child.get());
    if (const auto* inner = dynamic_cast<const Container*>(child.get())) CollectFocusable(*inner, out);
  }
}

// Widgets that can take focus, by tab index; ties keep their tree order.
std::vector<Widget*> TabOrder(const Form& form) {
  std::vector<Widget*> order;
  CollectFocusable(form, order);
  std::stable_sort(order.begin(), order.end(),
                   [](const Widget* a, const Widget* b) { return a->TabIndex() < b->TabIndex(); });
  return order;
}

}  // namespace

Form::Form(UiPlatform& platform, std::string name)
    : Container(WidgetKind::Form, std::move(name)), platform_(&platform) {}

Form::~Form() {
  // The peer hears of the form going once; the children go after this body
  // and nobody may be told of them any more.
  if (peer_ != nullptr) peer_->Changed(*this, Change::Removing);
  peer_ = nullptr;
  focused_ = nullptr;
}

void Form::SetCaption(std::string text) {
  caption_ = std::move(text);
  Notify(Change::Caption);
}

void Form::SetPicture(std::uint16_t bitmapId) {
  picture_ = bitmapId;
  ++pictureSerial_;
  Notify(Change::Picture);
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  if (onLoad) onLoad();
}

void Form::Close() {
  if (closed_) return;
  closed_ = true;
  Notify(Change::Visible);
}

void Form::SetFocus(Widget* widget) {
  if (widget != nullptr && (widget->OwnerForm() != this || !widget->CanFocus())) return;
  if (focused_ == widget) return;
  focused_ = widget;
  NotifyPeer(widget != nullptr ? *widget : *this, Change::Focus);
}

void Form::FocusFirst() {
  const std::vector<Widget*> order = TabOrder(*this);
  SetFocus(order.empty() ? nullptr : order.front());
}

void Form::FocusNext(bool backwards) {
  const std::vector<Widget*> order = TabOrder(*this);
  if (order.empty()) {
    SetFocus(nullptr);
    return;
  }

  const auto n = static_cast<std::ptrdiff_t>(order.size());
  const auto it = std::find(order.begin(), order.end(), focused_);
  std::ptrdiff_t next;
  if (it == order.end()) {
    next = backwards ? n - 1 : 0;
  } else {
    const std::ptrdiff_t at = it - order.begin();
    next = backwards ? (at + n - 1) % n : (at + 1) % n;
  }
  SetFocus(order[static_cast<std::size_t>(next)]);
}

bool Form::Press(Widget& widget) {
  if (!widget.Usable()) return false;
  widget.FireClick();
  return true;
}

void Form::FocusByKeyboard(Widget* widget) {
  SetFocus(widget);
  if (focused_ != nullptr && focused_ == widget && onKeyboardFocus) onKeyboardFocus(*widget);
}

bool Form::KeyDown(const KeyEvent& e) {
  if (closed_) return false;
  if (onKeyDown && onKeyDown(e)) return true;
  // A button press may close the form and unload what it points at: take
  // nothing from the form after it.
  switch (e.key) {
    case Key::Tab: {
      Widget* before = focused_;
      FocusNext((e.shift & 1) != 0);
      if (focused_ != nullptr && focused_ != before && onKeyboardFocus) onKeyboardFocus(*focused_);
      return focused_ != nullptr;
    }
    case Key::Space:
      return focused_ != nullptr && focused_->Kind() != WidgetKind::TextBox &&
             focused_->Kind() != WidgetKind::ListBox && Press(*focused_);
    case Key::Enter: {
      Widget* target = defaultButton_;
      if (focused_ != nullptr && (focused_->accessible.role == AccRole::PushButton ||
                                  focused_->accessible.role == AccRole::Link)) {
        target = focused_;
      }
      return target != nullptr && Press(*target);
    }
    case Key::Escape:
      return cancelButton_ != nullptr && Press(*cancelButton_);
    default:
      return false;
  }
}

void Form::RequestClose() {
  if (closeButton_ == nullptr) {
    Close();
  } else {
    Press(*closeButton_);
  }
}

}  // namespace orvane::ui

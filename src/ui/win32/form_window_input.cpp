// Mouse input: the widget under the pointer (or the one holding the capture)
// receives the model's mouse events, in twips relative to itself.
#include <windowsx.h>

#include "ui/win32/form_window.h"
#include "ui/win32/win32_platform.h"

namespace orvane::ui::win32 {

namespace {

int ButtonsHeld(WPARAM wp) {
  return ((wp & MK_LBUTTON) != 0 ? kLeftButton : 0) | ((wp & MK_RBUTTON) != 0 ? kRightButton : 0) |
         ((wp & MK_MBUTTON) != 0 ? kMiddleButton : 0);
}

int ShiftState(WPARAM wp) {
  return ((wp & MK_SHIFT) != 0 ? 1 : 0) | ((wp & MK_CONTROL) != 0 ? 2 : 0) | (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

bool Reachable(const Widget& widget) {
  for (const Widget* w = &widget; w != nullptr; w = w->Parent()) {
    if (!w->Enabled() || !w->Visible()) return false;
  }
  return true;
}

}  // namespace

Widget* FormWindow::WidgetAt(int x, int y) {
  return form_->HitTest(ToTwips(x), ToTwips(y));
}

MouseEvent FormWindow::EventFor(const Widget& widget, int buttons, WPARAM wp, LPARAM lp) const {
  Rect bounds = widget.Kind() == WidgetKind::Form ? Rect{} : widget.FormBounds();
  MouseEvent event;
  event.buttons = buttons;
  event.shift = ShiftState(wp);
  event.x = ToTwips(GET_X_LPARAM(lp)) - bounds.left;
  event.y = ToTwips(GET_Y_LPARAM(lp)) - bounds.top;
  return event;
}

void FormWindow::OnMouseMove(WPARAM wp, LPARAM lp) {
  if (!::IsWindowEnabled(hwnd_.get())) return;  // behind a modal form
  Widget* target = captured_ != nullptr ? captured_ : WidgetAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
  if (target == nullptr || !Reachable(*target)) return;
  target->FireMouseMove(EventFor(*target, ButtonsHeld(wp), wp, lp));
}

void FormWindow::OnButton(int button, bool down, WPARAM wp, LPARAM lp) {
  if (!::IsWindowEnabled(hwnd_.get())) return;
  int x = GET_X_LPARAM(lp);
  int y = GET_Y_LPARAM(lp);
  if (down) {
    Widget* target = captured_ != nullptr ? captured_ : WidgetAt(x, y);
    if (target == nullptr || !Reachable(*target)) return;
    if (captured_ == nullptr) {
      captured_ = target;
      ::SetCapture(hwnd_.get());
    }
    if (button == kLeftButton) FocusOnClick(target);
    heldButtons_ |= button;
    if (button == kLeftButton) leftPressed_ = target;
    target->FireMouseDown(EventFor(*target, button, wp, lp));
    return;
  }

  Widget* target = captured_ != nullptr ? captured_ : WidgetAt(x, y);
  heldButtons_ &= ~button;
  Widget* pressed = button == kLeftButton ? leftPressed_ : nullptr;
  if (button == kLeftButton) leftPressed_ = nullptr;
  if (heldButtons_ == 0 && captured_ != nullptr) {
    captured_ = nullptr;
    ::ReleaseCapture();
  }
  if (target == nullptr || !Known(target) || !Reachable(*target)) return;
  target->FireMouseUp(EventFor(*target, button, wp, lp));
  // A click is a press and release of the left button on the same widget.
  if (pressed == target && form_ != nullptr && Known(target) && Reachable(*target) && WidgetAt(x, y) == target) {
    target->FireClick();
  }
}

// The wheel goes to the widget under the pointer (the message comes to the
// focused window, with the pointer in screen coordinates).
bool FormWindow::OnWheel(WPARAM wp, LPARAM lp) {
  if (!::IsWindowEnabled(hwnd_.get())) return false;
  POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ::ScreenToClient(hwnd_.get(), &at);
  Widget* target = WidgetAt(at.x, at.y);
  if (target == nullptr || !Reachable(*target)) return false;
  return target->FireMouseWheel(GET_WHEEL_DELTA_WPARAM(wp));
}

bool FormWindow::OnSetCursor() {
  POINT at{};
  ::GetCursorPos(&at);
  ::ScreenToClient(hwnd_.get(), &at);
  Widget* target = captured_ != nullptr ? captured_ : WidgetAt(at.x, at.y);
  bool hand = target != nullptr && target->Pointer() == MousePointer::Hand;
  ::SetCursor(::LoadCursorW(nullptr, hand ? IDC_HAND : IDC_ARROW));
  return true;
}

}  // namespace orvane::ui::win32

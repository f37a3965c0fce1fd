// Keyboard input, the focus rectangle (shown once the keyboard is used, as
// the system's UI state says) and the window's accessible object.
#include "ui/win32/accessible_win32.h"
#include "ui/win32/form_window.h"
#include "ui/win32/win32_platform.h"

namespace orvane::ui::win32 {

namespace {

// Whether the last input to any of the program's windows came from the
// keyboard: a window opened by a key shows its focus at once.
bool lastInputWasKey = false;

bool ToKey(WPARAM vk, Key& key) {
  struct Pair {
    WPARAM vk;
    Key key;
  };
  static const Pair keys[] = {
      {VK_TAB, Key::Tab}, {VK_SPACE, Key::Space}, {VK_RETURN, Key::Enter}, {VK_ESCAPE, Key::Escape},
      {VK_UP, Key::Up},   {VK_DOWN, Key::Down},   {VK_HOME, Key::Home},    {VK_END, Key::End},
      {VK_F5, Key::F5},   {VK_APPS, Key::Menu}, {VK_F10, Key::Menu},
  };
  for (const Pair& p : keys) {
    if (p.vk == vk) {
      key = p.key;
      return true;
    }
  }
  return false;
}

int ShiftKeys() {
  return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

}  // namespace

bool FormWindow::OnKey(WPARAM vk, LPARAM lp) {
  lastInputWasKey = true;
  Key key{};
  if (form_ == nullptr || !ToKey(vk, key)) return false;
  if (vk == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0) return false;  // F10 alone is the system's
  if ((lp & (1 << 30)) != 0 && (key == Key::Space || key == Key::Enter)) return true;  // held: once
  if (!focusCues_) ::SendMessageW(hwnd_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  if (!focusCues_) OnUiState(MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));  // in case the system sent nothing
  return form_->KeyDown({key, ShiftKeys()});
}

void FormWindow::FocusOnClick(Widget* target) {
  lastInputWasKey = false;
  for (Widget* w = target; w != nullptr && w != form_; w = w->Parent()) {
    if (w->CanFocus()) {
      form_->SetFocus(w);
      return;
    }
  }
}

// wp 0: the window is new. It starts with the focus hidden unless a key
// opened it; the system's "always show" setting is not asked, as the skinned
// windows must look as designed until the keyboard is used.
void FormWindow::OnUiState(WPARAM wp) {
  bool shown = focusCues_;
  if (wp == 0) {
    shown = lastInputWasKey;
  } else if ((HIWORD(wp) & UISF_HIDEFOCUS) != 0) {
    if (LOWORD(wp) == UIS_CLEAR) shown = true;
    if (LOWORD(wp) == UIS_SET) shown = false;
  }
  if (shown == focusCues_) return;
  focusCues_ = shown;
  OnFocusChanged();
}

RECT FormWindow::FocusRect() const {
  RECT none{};
  if (!focusCues_ || !hasFocus_ || form_ == nullptr) return none;
  const Widget* focused = form_->Focused();
  if (focused == nullptr || NativeOf(*focused) != nullptr || !focused->Shown()) return none;
  RECT rect = PixelRect(*focused);
  ::InflateRect(&rect, 1, 1);
  // Cut to the frames it lies in, like the control itself.
  for (const Widget* p = focused->Parent(); p != nullptr && p != form_; p = p->Parent()) {
    RECT frame = PixelRect(*p);
    if (!::IntersectRect(&rect, &rect, &frame)) return none;
  }
  return rect;
}

void FormWindow::PaintFocus(HDC dc) {
  RECT rect = FocusRect();
  if (::IsRectEmpty(&rect)) return;
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SetBkColor(dc, RGB(255, 255, 255));
  ::DrawFocusRect(dc, &rect);
}

void FormWindow::OnFocusChanged() {
  RECT now = FocusRect();
  if (!::EqualRect(&now, &focusShown_)) {
    Invalidate(focusShown_);
    Invalidate(now);
    focusShown_ = now;
  }
  if (form_ == nullptr || !hasFocus_) return;
  int node = FocusedAccessible(AccessibleChildren(*form_));
  if (node >= 0) ::NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_.get(), OBJID_CLIENT, node + 1);
}

LRESULT FormWindow::OnGetObject(WPARAM wp, LPARAM lp) {
  if (static_cast<LONG>(lp) != OBJID_CLIENT) return ::DefWindowProcW(hwnd_.get(), WM_GETOBJECT, wp, lp);
  if (!accessible_) accessible_.reset(new FormAccessible(*this));
  return accessible_.get()->Answer(wp);
}

void FormWindow::RunAccessibleAction(int node) {
  if (form_ == nullptr || !::IsWindowEnabled(hwnd_.get())) return;
  const std::vector<AccNode> nodes = AccessibleChildren(*form_);
  if (node >= 0 && node < static_cast<int>(nodes.size())) DoDefaultAction(nodes[static_cast<std::size_t>(node)]);
}

// Tells a listening screen reader what changed: a tick, a name, a row's result.
void FormWindow::AnnounceChange(Widget& widget, Change what) {
  if (!accessible_ || form_ == nullptr) return;
  DWORD event = 0;
  switch (what) {
    case Change::Picture:
    case Change::Items:
    case Change::Enabled:
    case Change::Visible:
      event = EVENT_OBJECT_STATECHANGE;
      break;
    case Change::Caption:
    case Change::Text:
      event = EVENT_OBJECT_NAMECHANGE;
      break;
    default:
      return;
  }
  const std::vector<AccNode> nodes = AccessibleChildren(*form_);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const Widget* w = nodes[i].widget;
    bool describes = w->accessible.describedBy == &widget;
    bool owns = false;
    for (const Widget* p = &widget; p != nullptr && !owns; p = p->Parent()) owns = p == w;
    if (!owns && !describes) continue;
    ::NotifyWinEvent(describes ? EVENT_OBJECT_DESCRIPTIONCHANGE : event, hwnd_.get(), OBJID_CLIENT,
                     static_cast<LONG>(i + 1));
    if (nodes[i].line < 0) return;
  }
}

void FormWindow::ReleaseAccessible() {
  if (!accessible_) return;
  accessible_.get()->Disconnect();
  accessible_.reset();
}

}  // namespace orvane::ui::win32

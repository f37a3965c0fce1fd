#include "ui/win32/form_window.h"

#include <commctrl.h>

#include <cmath>

#include "platform/text.h"
#include "platform/win32/wide_text.h"
#include "ui/toolkit/placement.h"
#include "ui/win32/accessible_win32.h"
#include "ui/win32/picture_scale.h"
#include "ui/win32/win32_platform.h"

namespace orvane::ui::win32 {

namespace {


// Sent by Windows 10 1703 and later; older headers lack the name.
constexpr UINT kGetDpiScaledSize = 0x02E4;

int PixelsAt(Twips twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

void RegisterFormClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kFormClass;
  registered = ::RegisterClassExW(&wc) != 0;
}

UniqueIcon LoadIconResource(std::uint16_t id, int metricX, int metricY) {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                    ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY), 0)));
}

}  // namespace

FormWindow::FormWindow(Win32Platform& platform, Form& form, HWND owner)
    : platform_(platform), form_(&form), dpi_(platform.Dpi()) {
  RegisterFormClass(&FormWindow::WindowProc);
  // Owned windows stay above their owner; a form of its own gets a task bar button.
  DWORD exStyle = owner == nullptr ? WS_EX_APPWINDOW : 0;
  HWND hwnd = ::CreateWindowExW(exStyle, kFormClass, Wide(form.Caption()).c_str(),
                                WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                                platform_.ToPixels(form.Width()), platform_.ToPixels(form.Height()), owner, nullptr,
                                ::GetModuleHandleW(nullptr), this);
  hwnd_.reset(hwnd);
  if (hwnd == nullptr) return;
  // The monitor it starts on may have a resolution of its own.
  dpi_ = platform_.DpiOf(hwnd);
  SIZE size = ClientSizeAt(dpi_);
  ::SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  std::uint16_t icon = form.Icon() != 0 ? form.Icon() : 1;
  bigIcon_ = LoadIconResource(icon, SM_CXICON, SM_CYICON);
  smallIcon_ = LoadIconResource(icon, SM_CXSMICON, SM_CYSMICON);
  if (bigIcon_) ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  if (smallIcon_) ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

  backgroundSerial_ = form.PictureSerial();
  LoadBackground();
  for (const auto& child : form.Children()) Attach(*child);
  OnUiState(0);
  Place(owner);
  form.SetPeer(this);
}

FormWindow::~FormWindow() {
  destroying_ = true;
  ReleaseAccessible();
  if (form_ != nullptr && form_->Peer() == this) form_->SetPeer(nullptr);
  hwnd_.reset();  // takes the child controls and the tool tip window with it
}

void FormWindow::Place(HWND owner) {
  RECT frame{};
  ::GetWindowRect(hwnd_.get(), &frame);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  RECT work{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT over = work;
  if (form_->Position() == StartPosition::CenterOwner && owner != nullptr) {
    ::GetWindowRect(owner, &over);
    // The work area of the owner's monitor: a dialog must stay where the mouse can reach it.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
      work = monitor.rcWork;
    }
  }
  PixelBox placed = CentredInside(width, height, {over.left, over.top, over.right, over.bottom},
                                  {work.left, work.top, work.right, work.bottom});
  ::SetWindowPos(hwnd_.get(), nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Reveal() {
  if (!hwnd_) return;
  ::ShowWindow(hwnd_.get(), SW_SHOW);
  ::SetForegroundWindow(hwnd_.get());
  ::UpdateWindow(hwnd_.get());
  if (form_ != nullptr && form_->Focused() == nullptr) form_->FocusFirst();
  ApplyFocus();
}

std::size_t FormWindow::BitmapCount() const {
  std::size_t count = background_ || storedBackground_.pixels != nullptr ? 1 : 0;
  for (const auto& [widget, peer] : peers_) count += peer.picture ? 1 : 0;
  return count;
}

HWND FormWindow::NativeOf(const Widget& widget) const {
  auto found = peers_.find(&widget);
  return found == peers_.end() ? nullptr : found->second.native;
}

int FormWindow::ToPixels(Twips twips) const { return PixelsAt(twips, dpi_); }

Twips FormWindow::ToTwips(int pixels) const {
  return static_cast<Twips>(pixels) * 1440.0f / static_cast<float>(dpi_);
}

SIZE FormWindow::ClientSizeAt(int dpi) const {
  return {PixelsAt(form_->Width(), dpi), PixelsAt(form_->Height(), dpi)};
}

RECT FormWindow::PixelRect(const Widget& widget) const {
  Rect r = widget.FormBounds();
  return {ToPixels(r.left), ToPixels(r.top), ToPixels(r.left + r.width), ToPixels(r.top + r.height)};
}

void FormWindow::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_ || form_ == nullptr) return;
  dpi_ = dpi;
  LoadBackground();
  for (const auto& child : form_->Children()) Rescale(*child);
  for (const auto& child : form_->Children()) {
    if (Known(child.get())) Relayout(*child);
  }
  UpdateTipFont();
  ::InvalidateRect(hwnd_.get(), nullptr, FALSE);
}

void FormWindow::Rescale(Widget& widget) {
  if (!Known(&widget)) return;
  Peer& peer = peers_[&widget];
  peer.pictureSerial = ~std::uint64_t{0};  // load it again at the new size
  LoadPicture(widget, peer);
  if (peer.native != nullptr) SetNativeFont(widget, peer.native);
  if (auto* container = dynamic_cast<Container*>(&widget)) {
    for (const auto& child : container->Children()) Rescale(*child);
  }
}

bool FormWindow::Known(const Widget* widget) const {
  return widget != nullptr && (widget == form_ || peers_.count(widget) != 0);
}

void FormWindow::Invalidate(const RECT& rect) {
  if (hwnd_ && !::IsRectEmpty(&rect)) ::InvalidateRect(hwnd_.get(), &rect, FALSE);
}

void FormWindow::Changed(Widget& widget, Change what) {
  if (destroying_ || !hwnd_ || form_ == nullptr) return;
  if (&widget == form_) {
    switch (what) {
      case Change::Picture:
        if (form_->PictureSerial() != backgroundSerial_) {
          backgroundSerial_ = form_->PictureSerial();
          LoadBackground();
        }
        ::InvalidateRect(hwnd_.get(), nullptr, FALSE);
        break;
      case Change::Caption:
        ::SetWindowTextW(hwnd_.get(), Wide(form_->Caption()).c_str());
        break;
      case Change::Geometry: {
        SIZE size = ClientSizeAt(dpi_);
        ::SetWindowPos(hwnd_.get(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
      case Change::Colors:
        ::InvalidateRect(hwnd_.get(), nullptr, FALSE);
        break;
      case Change::Enabled:
        ::EnableWindow(hwnd_.get(), form_->Enabled());
        break;
      case Change::Focus:
        ApplyFocus();
        OnFocusChanged();
        break;
      case Change::Removing:
        // The form object is going away; the window must not touch it again.
        form_ = nullptr;
        captured_ = leftPressed_ = nullptr;
        ::ShowWindow(hwnd_.get(), SW_HIDE);
        break;
      default:
        break;
    }
    return;
  }

  if (what == Change::Removing) {
    if (Known(&widget)) {
      Invalidate(peers_[&widget].rect);
      Detach(widget);
    }
    return;
  }
  if (!Known(&widget)) {
    // Not yet seen: attach it if it is part of this form.
    if (widget.OwnerForm() != form_) return;
    Attach(widget);
    Invalidate(peers_[&widget].rect);
    if (what == Change::Added) return;
  }
  AnnounceChange(widget, what);
  Peer& peer = peers_[&widget];
  HWND native = peer.native;
  switch (what) {
    case Change::Added:
      break;
    case Change::Geometry:
      Invalidate(peer.rect);
      Relayout(widget);
      Invalidate(peers_[&widget].rect);
      break;
    case Change::Visible:
      Invalidate(peer.rect);
      UpdateShown(widget);
      break;
    case Change::Enabled:
      UpdateEnabled(widget);
      Invalidate(peer.rect);
      break;
    case Change::Picture:
      LoadPicture(widget, peer);
      Invalidate(peer.rect);
      break;
    case Change::Font:
      if (native != nullptr) SetNativeFont(widget, native);
      Invalidate(peer.rect);
      break;
    case Change::Text:
      if (native != nullptr && widget.Kind() == WidgetKind::TextBox) SyncText(static_cast<TextBox&>(widget), native);
      break;
    case Change::Value:
    case Change::Range:
    case Change::Items:
      if (native != nullptr && widget.Kind() == WidgetKind::ScrollBar) {
        SyncScroll(static_cast<ScrollBar&>(widget), native);
      } else if (native != nullptr && widget.Kind() == WidgetKind::ListBox) {
        SyncList(static_cast<ListBox&>(widget), native);
      }
      break;
    case Change::ToolTip:
      UpdateTool(widget, peer);
      break;
    case Change::Focus:
      ApplyFocus();
      OnFocusChanged();
      break;
    case Change::Timer:
      if (widget.Kind() == WidgetKind::Timer) UpdateTimer(static_cast<Timer&>(widget), peer);
      break;
    case Change::Caption:
    case Change::Colors:
    case Change::Pointer:
    case Change::Removing:
      Invalidate(peer.rect);
      break;
  }
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (self == nullptr || self->destroying_ || self->form_ == nullptr || !self->hwnd_) {
    if (msg == WM_ERASEBKGND) return 1;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
  ++self->depth_;
  LRESULT result = self->HandleMessage(msg, wp, lp);
  --self->depth_;
  return result;
}

LRESULT FormWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_.get();
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) CreateToolTips(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything from a buffer
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT: {
      RECT client{};
      ::GetClientRect(hwnd, &client);
      PaintTo(reinterpret_cast<HDC>(wp), client);
      return 0;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == hwnd && LOWORD(lp) == HTCLIENT && OnSetCursor()) return TRUE;
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(wp, lp);
      return 0;
    case WM_LBUTTONDOWN:
      OnButton(kLeftButton, true, wp, lp);
      return 0;
    case WM_LBUTTONUP:
      OnButton(kLeftButton, false, wp, lp);
      return 0;
    case WM_RBUTTONDOWN:
      OnButton(kRightButton, true, wp, lp);
      return 0;
    case WM_RBUTTONUP:
      OnButton(kRightButton, false, wp, lp);
      return 0;
    case WM_MBUTTONDOWN:
      OnButton(kMiddleButton, true, wp, lp);
      return 0;
    case WM_MBUTTONUP:
      OnButton(kMiddleButton, false, wp, lp);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd) {
        captured_ = leftPressed_ = nullptr;
        heldButtons_ = 0;
      }
      return 0;
    case WM_COMMAND:
      if (lp != 0) OnCommand(reinterpret_cast<HWND>(lp), HIWORD(wp));
      return 0;
    case WM_VSCROLL:
      // The 16-bit position is exact: the range is that of a 16-bit value.
      if (lp != 0) OnScroll(reinterpret_cast<HWND>(lp), LOWORD(wp), static_cast<std::int16_t>(HIWORD(wp)));
      return 0;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      item->itemHeight = 16;  // the real height is set once the control exists
      return TRUE;
    }
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      // A locked text box keeps the look of an editable one.
      auto found = natives_.find(reinterpret_cast<HWND>(lp));
      if (found != natives_.end() && found->second->Kind() == WidgetKind::TextBox) {
        HDC dc = reinterpret_cast<HDC>(wp);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    }
    case WM_TIMER: {
      auto found = timers_.find(wp);
      if (found != timers_.end()) static_cast<Timer*>(found->second)->FireTimer();
      return 0;
    }
    case WM_KEYDOWN:
      if (OnKey(wp, lp)) return 0;
      break;
    case WM_SYSKEYDOWN:
      // Shift+F10 arrives as a system key; handled, it starts no menu mode.
      if (wp == VK_F10 && OnKey(wp, lp)) return 0;
      break;
    case WM_MOUSEWHEEL:
      if (OnWheel(wp, lp)) return 0;
      break;
    case WM_SETFOCUS:
      hasFocus_ = true;
      ApplyFocus();
      OnFocusChanged();
      return 0;
    case WM_KILLFOCUS:
      hasFocus_ = false;
      OnFocusChanged();
      return 0;
    case WM_UPDATEUISTATE:
      ::DefWindowProcW(hwnd, msg, wp, lp);
      OnUiState(wp);
      return 0;
    case WM_GETOBJECT:
      return OnGetObject(wp, lp);
    case kAccessibleActionMessage:
      RunAccessibleAction(static_cast<int>(wp));
      return 0;
    case WM_CLOSE:
      // The system's close command (Alt+F4) does what the close image does.
      form_->RequestClose();
      return 0;
    case kGetDpiScaledSize:
      // The size at the new resolution comes from twips, not from scaling pixels.
      *reinterpret_cast<SIZE*>(lp) = ClientSizeAt(static_cast<int>(wp));
      return TRUE;
    case WM_DPICHANGED: {
      // Where the system suggests, at the size the twips give.
      const RECT* suggested = reinterpret_cast<const RECT*>(lp);
      ApplyDpi(LOWORD(wp));
      SIZE size = ClientSizeAt(dpi_);
      ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace orvane::ui::win32

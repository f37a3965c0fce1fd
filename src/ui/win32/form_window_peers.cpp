// Peers of the widgets inside a form window: pictures, native controls,
// tool tips and timers, created when a widget appears and dropped with it.
#include "ui/win32/form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/text.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/picture_scale.h"
#include "ui/win32/win32_platform.h"

namespace orvane::ui::win32 {

namespace {

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ListText(HWND list, int index) {
  LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT got = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

bool EnabledChain(const Widget& widget) {
  for (const Widget* w = &widget; w != nullptr; w = w->Parent()) {
    if (!w->Enabled()) return false;
  }
  return true;
}

// Scroll bars may run backwards (Min above Max); the native control cannot.
int NativePosition(const ScrollBar& bar, int value) {
  return bar.Min() <= bar.Max() ? value : bar.Min() + bar.Max() - value;
}

}  // namespace

void FormWindow::Attach(Widget& widget) {
  Peer& peer = peers_[&widget];
  peer.rect = PixelRect(widget);
  switch (widget.Kind()) {
    case WidgetKind::Image:
      LoadPicture(widget, peer);
      break;
    case WidgetKind::TextBox:
    case WidgetKind::ScrollBar:
    case WidgetKind::ListBox:
      CreateNative(widget, peer);
      break;
    case WidgetKind::Timer:
      UpdateTimer(static_cast<Timer&>(widget), peer);
      break;
    default:
      break;
  }
  if (!widget.ToolTip().empty()) UpdateTool(widget, peer);
  if (auto* container = dynamic_cast<Container*>(&widget)) {
    for (const auto& child : container->Children()) Attach(*child);
  }
}

void FormWindow::Detach(Widget& widget) {
  if (auto* container = dynamic_cast<Container*>(&widget)) {
    for (const auto& child : container->Children()) Detach(*child);
  }
  auto found = peers_.find(&widget);
  if (found == peers_.end()) return;
  Peer& peer = found->second;
  if (peer.hasTool && tooltip_ != nullptr) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd_.get();
    tool.uId = peer.native != nullptr ? reinterpret_cast<UINT_PTR>(peer.native) : peer.toolId;
    ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  if (peer.timerId != 0) {
    ::KillTimer(hwnd_.get(), peer.timerId);
    timers_.erase(peer.timerId);
  }
  if (peer.native != nullptr) {
    natives_.erase(peer.native);
    ::DestroyWindow(peer.native);
  }
  if (captured_ == &widget) {
    captured_ = nullptr;
    ::ReleaseCapture();
  }
  if (leftPressed_ == &widget) leftPressed_ = nullptr;
  peers_.erase(found);
}

void FormWindow::Relayout(Widget& widget) {
  Peer& peer = peers_[&widget];
  peer.rect = PixelRect(widget);
  if (peer.native != nullptr) {
    ::SetWindowPos(peer.native, nullptr, peer.rect.left, peer.rect.top, peer.rect.right - peer.rect.left,
                   peer.rect.bottom - peer.rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (peer.hasTool && tooltip_ != nullptr) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd_.get();
    tool.uId = peer.toolId;
    tool.rect = peer.rect;
    ::SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  if (auto* container = dynamic_cast<Container*>(&widget)) {
    for (const auto& child : container->Children()) {
      if (Known(child.get())) Relayout(*child);
    }
  }
}

void FormWindow::UpdateShown(Widget& widget) {
  Peer& peer = peers_[&widget];
  if (peer.native != nullptr) ::ShowWindow(peer.native, widget.Shown() ? SW_SHOWNA : SW_HIDE);
  if (peer.hasTool || !widget.ToolTip().empty()) UpdateTool(widget, peer);
  if (auto* container = dynamic_cast<Container*>(&widget)) {
    for (const auto& child : container->Children()) {
      if (Known(child.get())) UpdateShown(*child);
    }
  }
}

void FormWindow::UpdateEnabled(Widget& widget) {
  Peer& peer = peers_[&widget];
  if (peer.native != nullptr) ::EnableWindow(peer.native, EnabledChain(widget));
  if (auto* container = dynamic_cast<Container*>(&widget)) {
    for (const auto& child : container->Children()) {
      if (Known(child.get())) UpdateEnabled(*child);
    }
  }
}

void FormWindow::LoadPicture(Widget& widget, Peer& peer) {
  if (widget.Kind() != WidgetKind::Image) return;
  auto& image = static_cast<Image&>(widget);
  if (image.PictureSerial() == peer.pictureSerial) return;
  peer.pictureSerial = image.PictureSerial();
  peer.picture.reset();  // the old picture goes before the new one loads
  peer.picture = ScaleToDpi(LoadBitmapResource(image.Picture()), dpi_);
}

void FormWindow::CreateNative(Widget& widget, Peer& peer) {
  const wchar_t* windowClass = L"";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = WS_EX_NOPARENTNOTIFY;
  switch (widget.Kind()) {
    case WidgetKind::TextBox: {
      auto& box = static_cast<TextBox&>(widget);
      windowClass = L"EDIT";
      style |= WS_TABSTOP | ES_LEFT | ES_NOHIDESEL;
      style |= box.MultiLine() ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN : ES_AUTOHSCROLL;
      if (box.Locked()) style |= ES_READONLY;
      if (box.MultiLine() && box.VerticalScrollBar()) style |= WS_VSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    }
    case WidgetKind::ScrollBar:
      windowClass = L"SCROLLBAR";
      style |= SBS_VERT;
      break;
    case WidgetKind::ListBox:
      windowClass = L"LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    default:
      return;
  }
  UINT_PTR id = nextId_++;
  HWND native = ::CreateWindowExW(exStyle, windowClass, L"", style, peer.rect.left, peer.rect.top,
                                  peer.rect.right - peer.rect.left, peer.rect.bottom - peer.rect.top, hwnd_.get(),
                                  reinterpret_cast<HMENU>(id), ::GetModuleHandleW(nullptr), nullptr);
  if (native == nullptr) return;
  peer.native = native;
  natives_[native] = &widget;
  ::SetWindowSubclass(native, &FormWindow::ChildProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetNativeFont(widget, native);
  switch (widget.Kind()) {
    case WidgetKind::TextBox:
      if (int limit = static_cast<TextBox&>(widget).MaxLength(); limit > 0) {
        ::SendMessageW(native, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
      }
      SyncText(static_cast<TextBox&>(widget), native);
      break;
    case WidgetKind::ScrollBar:
      SyncScroll(static_cast<ScrollBar&>(widget), native);
      break;
    case WidgetKind::ListBox:
      SyncList(static_cast<ListBox&>(widget), native);
      break;
    default:
      break;
  }
  ::EnableWindow(native, EnabledChain(widget));
  if (widget.Shown()) ::ShowWindow(native, SW_SHOWNA);
}

void FormWindow::SetNativeFont(Widget& widget, HWND native) {
  const Font* font = nullptr;
  if (widget.Kind() == WidgetKind::TextBox) font = &static_cast<TextBox&>(widget).GetFont();
  if (widget.Kind() == WidgetKind::ListBox) font = &static_cast<ListBox&>(widget).GetFont();
  if (font == nullptr) return;
  HFONT handle = platform_.Fonts().Get(*font, dpi_);
  ::SendMessageW(native, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
  if (widget.Kind() == WidgetKind::ListBox) {
    ScopedWindowDc dc(native);
    ScopedSelect select(dc.get(), handle);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    int box = ::MulDiv(13, dpi_, 96);
    int height = std::max<int>(metrics.tmHeight, box) + 2;
    ::SendMessageW(native, LB_SETITEMHEIGHT, 0, height);
  }
}

void FormWindow::SyncText(TextBox& box, HWND native) {
  std::wstring text = Wide(box.Text());
  if (WindowText(native) == text) return;
  syncing_ = true;
  ::SetWindowTextW(native, text.c_str());
  syncing_ = false;
}

void FormWindow::SyncScroll(ScrollBar& bar, HWND native) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  info.nMin = std::min(bar.Min(), bar.Max());
  info.nMax = std::max(bar.Min(), bar.Max());
  info.nPage = 0;
  info.nPos = NativePosition(bar, bar.Value());
  ::SetScrollInfo(native, SB_CTL, &info, TRUE);
}

void FormWindow::SyncList(ListBox& list, HWND native) {
  int count = static_cast<int>(::SendMessageW(native, LB_GETCOUNT, 0, 0));
  bool same = count == list.ListCount();
  for (int i = 0; same && i < count; ++i) same = ListText(native, i) == Wide(list.List(i));
  if (!same) {
    ::SendMessageW(native, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(native, LB_RESETCONTENT, 0, 0);
    for (const auto& line : list.Lines()) {
      ::SendMessageW(native, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line.text).c_str()));
    }
    ::SendMessageW(native, WM_SETREDRAW, TRUE, 0);
  }
  ::InvalidateRect(native, nullptr, TRUE);
}

// Tips show only under the mouse: their window and tools are made when the
// first mouse message arrives, which then goes to the tip as well.
void FormWindow::CreateToolTips(HWND over, UINT msg, WPARAM wp, LPARAM lp) {
  if (tooltipTried_) return;
  tooltipTried_ = true;
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_.get(), nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  if (tooltip_ == nullptr) return;
  UpdateTipFont();
  for (auto& [widget, peer] : peers_) UpdateTool(*widget, peer);
  MSG first{over, msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), {}};
  ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&first));
}

void FormWindow::UpdateTool(const Widget& widget, Peer& peer) {
  peer.lineTip.clear();
  bool wanted = !widget.ToolTip().empty() && widget.Shown();
  if (tooltip_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd_.get();
  if (peer.native != nullptr) {
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(peer.native);
  } else {
    if (peer.toolId == 0) peer.toolId = nextId_++;
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = peer.toolId;
    tool.rect = peer.rect;
  }
  if (peer.hasTool) {
    ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    peer.hasTool = false;
  }
  if (!wanted) return;
  std::wstring text = Wide(widget.ToolTip());
  tool.lpszText = text.data();
  peer.hasTool = ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void FormWindow::UpdateTipFont() {
  if (tooltip_ == nullptr) return;
  // A long tip (a whole list line) wraps at its spaces rather than run off the screen.
  ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ::MulDiv(560, dpi_, 96));
  // The system's tip font at the window's resolution (Windows 10 1607 on);
  // before that the system has one resolution and the control's own font fits.
  using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto parametersForDpi =
      SystemFunction<ParametersForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (parametersForDpi == nullptr ||
      !parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi_))) {
    return;
  }
  UniqueFont font(::CreateFontIndirectW(&metrics.lfStatusFont));
  if (!font) return;
  ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  tipFont_ = std::move(font);
}

void FormWindow::UpdateTimer(Timer& timer, Peer& peer) {
  if (peer.timerId == 0) {
    peer.timerId = nextId_++;
    timers_[peer.timerId] = &timer;
  }
  if (timer.TimerEnabled() && timer.Interval() > 0) {
    ::SetTimer(hwnd_.get(), peer.timerId, static_cast<UINT>(timer.Interval()), nullptr);
  } else {
    ::KillTimer(hwnd_.get(), peer.timerId);
  }
}

void FormWindow::ApplyFocus() {
  if (form_ == nullptr || !hwnd_ || ::GetActiveWindow() != hwnd_.get()) return;
  Widget* focused = form_->Focused();
  HWND target = focused != nullptr ? NativeOf(*focused) : nullptr;
  if (target == nullptr) target = hwnd_.get();
  if (::GetFocus() != target) ::SetFocus(target);
}

void FormWindow::OnCommand(HWND child, int code) {
  auto found = natives_.find(child);
  if (found == natives_.end()) return;
  Widget& widget = *found->second;
  if (widget.Kind() == WidgetKind::TextBox && code == EN_CHANGE && !syncing_) {
    static_cast<TextBox&>(widget).UserEdited(Narrow(WindowText(child)));
  } else if ((code == EN_SETFOCUS && widget.Kind() == WidgetKind::TextBox) ||
             (code == LBN_SETFOCUS && widget.Kind() == WidgetKind::ListBox)) {
    if (form_->Focused() != &widget) form_->SetFocus(&widget);
  }
}

void FormWindow::OnScroll(HWND child, int code, int position) {
  auto found = natives_.find(child);
  if (found == natives_.end() || found->second->Kind() != WidgetKind::ScrollBar) return;
  auto& bar = static_cast<ScrollBar&>(*found->second);
  int low = std::min(bar.Min(), bar.Max());
  int high = std::max(bar.Min(), bar.Max());
  int toward = bar.Min() <= bar.Max() ? 1 : -1;  // a step down moves toward Max
  int value = bar.Value();
  switch (code) {
    case SB_LINEUP: value -= toward * bar.SmallChange(); break;
    case SB_LINEDOWN: value += toward * bar.SmallChange(); break;
    case SB_PAGEUP: value -= toward * bar.LargeChange(); break;
    case SB_PAGEDOWN: value += toward * bar.LargeChange(); break;
    case SB_TOP: value = bar.Min(); break;
    case SB_BOTTOM: value = bar.Max(); break;
    case SB_THUMBTRACK:
      // Only the thumb follows the mouse; the value changes on release.
      ::SetScrollPos(child, SB_CTL, position, TRUE);
      return;
    case SB_THUMBPOSITION:
      value = NativePosition(bar, position);
      break;
    case SB_ENDSCROLL:
      SyncScroll(bar, child);
      return;
    default:
      return;
  }
  value = std::clamp(value, low, high);
  bar.SetValue(static_cast<std::int16_t>(value));
  SyncScroll(bar, child);
}

void FormWindow::ToggleLine(ListBox& list, HWND native, int line) {
  if (line < 0 || line >= list.ListCount()) return;
  list.SetSelected(line, !list.Selected(line));
  RECT item{};
  if (::SendMessageW(native, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
    ::InvalidateRect(native, &item, TRUE);
  }
}

void FormWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_LISTBOX) return;
  auto found = natives_.find(item.hwndItem);
  if (found == natives_.end() || found->second->Kind() != WidgetKind::ListBox) return;
  auto& list = static_cast<ListBox&>(*found->second);
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &area, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  int line = static_cast<int>(item.itemID);
  if (line >= 0 && line < list.ListCount()) {
    int size = ::MulDiv(13, dpi_, 96);
    int top = area.top + (area.bottom - area.top - size) / 2;
    RECT box{area.left + 2, top, area.left + 2 + size, top + size};
    ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (list.Selected(line) ? DFCS_CHECKED : 0));
    RECT text = area;
    text.left = box.right + 4;
    ScopedSelect font(dc, platform_.Fonts().Get(list.GetFont(), dpi_));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::wstring caption = Wide(list.List(line));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  }
  if ((item.itemState & ODS_FOCUS) != 0) ::DrawFocusRect(dc, &area);
}

// The line under a point of the list, or -1 (the nearest line comes back for
// a point below the last one).
int FormWindow::LineAt(HWND list, LPARAM lp) {
  const LRESULT hit = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, lp);
  RECT line{};
  POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  const bool onLine = HIWORD(hit) == 0 &&
                      ::SendMessageW(list, LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&line)) != LB_ERR &&
                      ::PtInRect(&line, at);
  return onLine ? LOWORD(hit) : -1;
}

// A line cut at the list's right edge shows its whole text as the tip while
// the pointer is on it; the list's own tip gives way to it.
void FormWindow::ShowLineTip(const ListBox& list, HWND native, int line) {
  Peer& peer = peers_[&list];
  std::wstring text = line >= 0 && line < list.ListCount() ? Wide(list.List(line)) : L"";
  if (!text.empty()) {
    RECT client{};
    SIZE size{};
    ::GetClientRect(native, &client);
    ScopedWindowDc dc(native);
    ScopedSelect font(dc.get(), platform_.Fonts().Get(list.GetFont(), dpi_));
    // The text starts after the check box (see OnDrawItem).
    const bool cut = ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size) &&
                     size.cx > client.right - ::MulDiv(13, dpi_, 96) - 6;
    if (!cut) text.clear();
  }
  if (tooltip_ == nullptr || text == peer.lineTip) return;
  peer.lineTip = text;
  if (text.empty()) {
    UpdateTool(list, peer);
    return;
  }
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd_.get();
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.uId = reinterpret_cast<UINT_PTR>(native);
  ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  tool.lpszText = text.data();
  peer.hasTool = ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

LRESULT CALLBACK FormWindow::ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &FormWindow::ChildProc, 1);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
  auto* window = reinterpret_cast<FormWindow*>(self);
  if (window->destroying_ || window->form_ == nullptr) return ::DefSubclassProc(hwnd, msg, wp, lp);
  return window->HandleChildMessage(hwnd, msg, wp, lp);
}

LRESULT FormWindow::HandleChildMessage(HWND child, UINT msg, WPARAM wp, LPARAM lp) {
  auto found = natives_.find(child);
  Widget* widget = found == natives_.end() ? nullptr : found->second;
  bool isList = widget != nullptr && widget->Kind() == WidgetKind::ListBox;
  // Tab, and Enter and Esc as in a dialog, belong to the form; a multi-line
  // box keeps its Enter.
  bool multiLine = widget != nullptr && widget->Kind() == WidgetKind::TextBox &&
                   static_cast<TextBox*>(widget)->MultiLine();
  bool isText = widget != nullptr && widget->Kind() == WidgetKind::TextBox;
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) CreateToolTips(child, msg, wp, lp);
  switch (msg) {
    case WM_SYSKEYDOWN:
      if (wp == VK_F10 && !isText && OnKey(wp, lp)) return 0;
      break;
    case WM_MOUSEWHEEL:
      // The widget under the pointer first, whichever control has the focus.
      if (OnWheel(wp, lp)) return 0;
      break;
    case WM_KEYDOWN:
      // F5 and the menu key open the main window's check menu from its
      // controls; a text box keeps its own menu.
      if ((wp == VK_TAB || wp == VK_ESCAPE || wp == VK_F5 || (wp == VK_RETURN && !multiLine) ||
           (wp == VK_APPS && !isText)) &&
          OnKey(wp, lp)) {
        return 0;
      }
      if (wp == VK_SPACE && isList) {
        int caret = static_cast<int>(::SendMessageW(child, LB_GETCURSEL, 0, 0));
        if (caret == LB_ERR) caret = static_cast<int>(::SendMessageW(child, LB_GETCARETINDEX, 0, 0));
        ToggleLine(static_cast<ListBox&>(*widget), child, caret);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == L'\t' || wp == 0x1B || (wp == L'\r' && !multiLine) || (wp == L' ' && isList)) return 0;
      break;
    case WM_LBUTTONDOWN:
      if (isList) {
        const int line = LineAt(child, lp);
        LRESULT result = ::DefSubclassProc(child, msg, wp, lp);
        if (line >= 0 && Known(widget)) ToggleLine(static_cast<ListBox&>(*widget), child, line);
        return result;
      }
      break;
    case WM_MOUSEMOVE:
      if (isList) ShowLineTip(static_cast<ListBox&>(*widget), child, LineAt(child, lp));
      break;
    default:
      break;
  }
  return ::DefSubclassProc(child, msg, wp, lp);
}

}  // namespace orvane::ui::win32

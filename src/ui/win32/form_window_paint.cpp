// Painting of the windowless widgets, through an off-screen buffer so that a
// hover change repaints without flicker.
#include "ui/win32/form_window.h"

#include <algorithm>

#include "platform/text.h"
#include "ui/win32/picture_scale.h"
#include "ui/win32/win32_platform.h"

namespace orvane::ui::win32 {

namespace {

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  ::SetBkColor(dc, color);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Blit(HDC dc, HBITMAP bitmap, const RECT& rect) {
  if (bitmap == nullptr) return;
  SIZE size = BitmapSize(bitmap);
  UniqueMemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  ScopedSelect select(source.get(), bitmap);
  int width = std::min<int>(size.cx, rect.right - rect.left);
  int height = std::min<int>(size.cy, rect.bottom - rect.top);
  ::BitBlt(dc, rect.left, rect.top, width, height, source.get(), 0, 0, SRCCOPY);
}

}  // namespace

void FormWindow::LoadBackground() {
  background_.reset();  // the old picture goes before the new one loads
  storedBackground_ = dpi_ == kDesignDpi ? FindSkinBitmap(form_->Picture()) : StoredBitmap{};
  if (storedBackground_.pixels == nullptr) background_ = ScaleToDpi(LoadBitmapResource(form_->Picture()), dpi_);
}

void FormWindow::OnPaint() {
  PAINTSTRUCT ps{};
  HDC screen = ::BeginPaint(hwnd_.get(), &ps);
  RECT area = ps.rcPaint;
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  if (screen != nullptr && width > 0 && height > 0) {
    UniqueMemoryDc buffer(::CreateCompatibleDC(screen));
    UniqueBitmap surface(::CreateCompatibleBitmap(screen, width, height));
    if (buffer && surface) {
      {
        ScopedSelect select(buffer.get(), surface.get());
        ::SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
        PaintTo(buffer.get(), area);
        ::BitBlt(screen, area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
      }
    } else {
      PaintTo(screen, area);  // no memory for a buffer: paint directly
    }
  }
  ::EndPaint(hwnd_.get(), &ps);
}

void FormWindow::PaintTo(HDC dc, const RECT& area) {
  if (form_ == nullptr) return;
  ScopedDcState state(dc);
  ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  Fill(dc, area, ResolveColor(form_->BackColor()));
  RECT whole{0, 0, ToPixels(form_->Width()), ToPixels(form_->Height())};
  if (const StoredBitmap& stored = storedBackground_; stored.pixels != nullptr) {
    ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(stored.width), static_cast<DWORD>(stored.height), 0, 0, 0,
                        static_cast<UINT>(stored.height), stored.pixels, stored.info, DIB_RGB_COLORS);
  } else if (background_) {
    // From the top-left corner at its scaled size; what lies beyond the client is cut off.
    SIZE size = BitmapSize(background_.get());
    Blit(dc, background_.get(), {0, 0, size.cx, size.cy});
  }
  RECT clip{};
  ::IntersectRect(&clip, &area, &whole);
  ::SetBkMode(dc, TRANSPARENT);
  PaintChildren(dc, *form_, clip);
  PaintFocus(dc);
}

void FormWindow::PaintChildren(HDC dc, const Container& container, const RECT& clip) {
  for (const auto& child : container.Children()) {
    const Widget& widget = *child;
    if (!widget.Visible()) continue;
    RECT rect = PixelRect(widget);
    RECT shown{};
    if (!::IntersectRect(&shown, &rect, &clip)) continue;
    switch (widget.Kind()) {
      case WidgetKind::Image:
        PaintImage(dc, widget, rect);
        break;
      case WidgetKind::Label:
        PaintLabel(dc, static_cast<const Label&>(widget), rect);
        break;
      case WidgetKind::Panel:
      case WidgetKind::UserControl: {
        // Children are cut to their container, also when they lie partly outside it.
        const auto& inner = static_cast<const Container&>(widget);
        ScopedDcState state(dc);
        ::IntersectClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
        Fill(dc, shown, ResolveColor(inner.BackColor()));
        ::SetBkMode(dc, TRANSPARENT);
        PaintChildren(dc, inner, shown);
        break;
      }
      default:
        break;  // native controls paint themselves; timers are never seen
    }
  }
}

void FormWindow::PaintImage(HDC dc, const Widget& image, const RECT& rect) {
  auto found = peers_.find(&image);
  if (found != peers_.end()) Blit(dc, found->second.picture.get(), rect);
}

void FormWindow::PaintLabel(HDC dc, const Label& label, const RECT& rect) {
  if (label.Style() == BackStyle::Opaque) Fill(dc, rect, ResolveColor(label.BackColor()));
  if (label.Caption().empty()) return;
  std::u16string text = Utf8ToUtf16(label.Caption());
  ScopedSelect font(dc, platform_.Fonts().Get(label.GetFont(), dpi_));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ResolveColor(label.ForeColor()));
  RECT box = rect;
  ::DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &box,
              DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

}  // namespace orvane::ui::win32

#pragma once
// The native window of one shown form. Image, label, panel and user-control
// widgets are painted by the window itself; text boxes, scroll bars and list
// boxes are native child controls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "ui/toolkit/form.h"
#include "resources/win32/picture_win32.h"
#include "ui/win32/gdi_handles.h"

namespace orvane::ui::win32 {

class Win32Platform;
class FormAccessible;

// The window class of every form; a second start finds the first by it.
inline constexpr wchar_t kFormClass[] = L"OrvaneForm";

class FormWindow : public FormPeer {
 public:
  FormWindow(Win32Platform& platform, Form& form, HWND owner);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND Handle() const { return hwnd_.get(); }
  Form* GetForm() const { return form_; }
  void Reveal();
  // Inside one of its own message handlers: it must not be destroyed now.
  bool Busy() const { return depth_ > 0; }

  void Changed(Widget& widget, Change what) override;

  // Pictures this window holds right now (background and images).
  std::size_t BitmapCount() const;
  // The native control of a widget, or null.
  HWND NativeOf(const Widget& widget) const;
  // A widget's rectangle in client pixels.
  RECT PixelRect(const Widget& widget) const;
  // Twips in the form to client pixels at the window's resolution.
  int ToPixels(Twips twips) const;
  // The resolution the window is drawn at; it follows the window's monitor.
  int Dpi() const { return dpi_; }
  // Paints the whole client area into a DC, as WM_PAINT would.
  void PaintTo(HDC dc, const RECT& area);

 private:
  struct Peer {
    RECT rect{};
    HWND native = nullptr;  // owned by the form window (a child)
    UniqueBitmap picture;
    std::uint64_t pictureSerial = ~std::uint64_t{0};
    UINT_PTR timerId = 0;
    UINT_PTR toolId = 0;
    bool hasTool = false;
    std::wstring lineTip;  // a list's: the text of the line its tip shows
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleChildMessage(HWND child, UINT msg, WPARAM wp, LPARAM lp);
  void Place(HWND owner);
  Twips ToTwips(int pixels) const;
  SIZE ClientSizeAt(int dpi) const;
  // Pictures, fonts and every placement again at a new resolution.
  void ApplyDpi(int dpi);
  void Rescale(Widget& widget);
  void UpdateTipFont();
  static int LineAt(HWND list, LPARAM lp);
  void ShowLineTip(const ListBox& list, HWND native, int line);

  // Peers of widgets (form_window_peers.cpp).
  void Attach(Widget& widget);
  void Detach(Widget& widget);
  void Relayout(Widget& widget);
  void UpdateShown(Widget& widget);
  void UpdateEnabled(Widget& widget);
  void LoadPicture(Widget& widget, Peer& peer);
  void CreateNative(Widget& widget, Peer& peer);
  void SetNativeFont(Widget& widget, HWND native);
  void SyncText(TextBox& box, HWND native);
  void SyncScroll(ScrollBar& bar, HWND native);
  void SyncList(ListBox& list, HWND native);
  void UpdateTool(const Widget& widget, Peer& peer);
  void CreateToolTips(HWND over, UINT msg, WPARAM wp, LPARAM lp);
  void UpdateTimer(Timer& timer, Peer& peer);
  void ApplyFocus();
  void Invalidate(const RECT& rect);
  bool Known(const Widget* widget) const;

  // Native control notifications.
  void OnCommand(HWND child, int code);
  void OnScroll(HWND child, int code, int position);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void ToggleLine(ListBox& list, HWND native, int line);

  // Keyboard, focus cues and the accessible object (form_window_keys.cpp).
  bool OnKey(WPARAM vk, LPARAM lp);
  void FocusOnClick(Widget* target);
  // Redraws the focus rectangle and tells screen readers where focus went.
  void OnFocusChanged();
  void OnUiState(WPARAM wp);
  void PaintFocus(HDC dc);
  RECT FocusRect() const;
  LRESULT OnGetObject(WPARAM wp, LPARAM lp);
  void RunAccessibleAction(int node);
  void AnnounceChange(Widget& widget, Change what);
  void ReleaseAccessible();

  // Mouse (form_window_input.cpp).
  Widget* WidgetAt(int x, int y);
  void OnMouseMove(WPARAM wp, LPARAM lp);
  bool OnWheel(WPARAM wp, LPARAM lp);
  void OnButton(int button, bool down, WPARAM wp, LPARAM lp);
  bool OnSetCursor();
  MouseEvent EventFor(const Widget& widget, int buttons, WPARAM wp, LPARAM lp) const;

  // Painting (form_window_paint.cpp).
  void LoadBackground();
  void OnPaint();
  void PaintChildren(HDC dc, const Container& container, const RECT& clip);
  void PaintImage(HDC dc, const Widget& image, const RECT& rect);
  void PaintLabel(HDC dc, const Label& label, const RECT& rect);

  Win32Platform& platform_;
  Form* form_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  // At the design resolution the background is drawn straight from the
  // program's resources; at any other from a scaled copy.
  StoredBitmap storedBackground_;
  UniqueBitmap background_;
  std::uint64_t backgroundSerial_ = ~std::uint64_t{0};
  std::unordered_map<const Widget*, Peer> peers_;
  std::unordered_map<HWND, Widget*> natives_;
  std::unordered_map<UINT_PTR, Widget*> timers_;
  UINT_PTR nextId_ = 100;
  HWND tooltip_ = nullptr;  // owned by the form window; made when the mouse first comes
  bool tooltipTried_ = false;
  UniqueFont tipFont_;
  int dpi_ = 96;
  Widget* captured_ = nullptr;
  Widget* leftPressed_ = nullptr;
  int heldButtons_ = 0;
  bool syncing_ = false;
  bool destroying_ = false;
  int depth_ = 0;
  bool focusCues_ = false;  // the focus rectangle shows (the system's UI state)
  bool hasFocus_ = false;   // the window itself has the keyboard focus
  RECT focusShown_{};
  UniqueCom<FormAccessible> accessible_;  // our reference; clients take their own
  UniqueWindow hwnd_;  // last: goes first, before the pictures and icons it shows
};

}  // namespace orvane::ui::win32

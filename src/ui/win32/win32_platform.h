#pragma once
// The windowing layer on Win32: each shown form is a borderless top-level
// window that paints the model and turns input into the model's events.
#include <windows.h>
#undef MessageBox

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "ui/toolkit/form.h"
#include "ui/toolkit/platform.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/gdi_resources.h"

namespace orvane::ui::win32 {

class FormWindow;
struct PostTarget;

class Win32Platform : public UiPlatform {
 public:
  // dpi 0: the screen's resolution, and each window follows its monitor's;
  // otherwise every window uses this one.
  explicit Win32Platform(int dpi = 0);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  float TwipsPerPixelX() const override { return twipsPerPixel_; }
  float TwipsPerPixelY() const override { return twipsPerPixel_; }
  TextSize MeasureText(const std::string& text, const Font& font) override;
  TextSize PictureSize(std::uint16_t bitmapId) override;

  void Show(Form& form) override;
  void ShowModal(Form& form, Form* owner) override;
  void MessageBox(const std::string& text, const std::string& caption, MessageBoxIcon icon) override;
  void DoEvents() override;
  void DoPaintEvents() override;
  CursorHandle LoadHandCursor() override;
  void SetCursor(CursorHandle cursor) override;
  void DragWindow(Form& form) override;
  void EndProgram() override;
  int PopupMenu(Form& form, const std::vector<std::string>& lines, std::optional<Rect> at) override;
  std::function<void(std::uint32_t)> MakePoster(std::function<void(std::uint32_t)> handler) override;

  // Runs until the program quits or no form is open; returns the exit code.
  int RunMessageLoop();

  // Called when a form's window cannot be created; the form is closed. When
  // empty: the program says so and ends.
  std::function<void()> onWindowFailed;

  int Dpi() const { return dpi_; }
  // The resolution a window is drawn at.
  int DpiOf(HWND hwnd) const;
  FontCache& Fonts() { return fonts_; }
  // The native window of a shown form, or null.
  HWND WindowOf(const Form& form) const;
  FormWindow* PeerOf(const Form& form) const;
  // Bitmaps held right now by every form window for its pictures.
  std::size_t OwnedBitmapCount() const;

  // Pixels <-> twips at this platform's resolution.
  int ToPixels(Twips twips) const;
  Twips ToTwips(int pixels) const { return static_cast<Twips>(pixels) * twipsPerPixel_; }

 private:
  friend class FormWindow;
  // The form's window, or null (and the form closed) when it cannot be created.
  FormWindow* Open(Form& form, HWND owner);
  void WindowFailed(Form& form);
  void Close(Form& form);
  void Dispatch(MSG& msg);
  // Destroys the windows of forms that have been closed.
  void ReapClosed();
  HWND ActiveFormWindow() const;

  std::vector<std::unique_ptr<PostTarget>> posters_;
  int dpi_;
  bool fixedDpi_;
  float twipsPerPixel_;
  FontCache fonts_;
  UniqueMemoryDc measureDc_;
  std::vector<std::unique_ptr<FormWindow>> windows_;
  std::vector<Form*> modal_;  // modal forms open right now, innermost last
};

}  // namespace orvane::ui::win32

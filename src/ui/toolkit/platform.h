#pragma once
// What the widget model needs from the windowing system. The native windows
// implement it, and so does a headless stand-in for tests.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/toolkit/basics.h"

// <windows.h> maps MessageBox to MessageBoxW; the member keeps its own name
// whichever header comes first.
#ifdef MessageBox
#undef MessageBox
#endif

namespace orvane::ui {

class Form;

enum class MessageBoxIcon { None, Information };

class UiPlatform {
 public:
  virtual ~UiPlatform() = default;

  // Screen resolution: 15 twips a pixel at 96 dpi.
  virtual float TwipsPerPixelX() const = 0;
  virtual float TwipsPerPixelY() const = 0;
  // Size of one line of text in the font, in twips.
  virtual TextSize MeasureText(const std::string& text, const Font& font) = 0;
  // Size of a bitmap resource in twips at the skin's design resolution
  // (96 dpi, 15 twips a pixel), whatever the screen's: pictures are drawn
  // scaled to it. Zero when it is missing.
  virtual TextSize PictureSize(std::uint16_t bitmapId) = 0;

  // Loads (if needed) and shows the form; returns at once.
  virtual void Show(Form& form) = 0;
  // Loads and shows the form modally over `owner` (none: over every window
  // of the program); returns once the form has closed.
  virtual void ShowModal(Form& form, Form* owner) = 0;
  // A message box with an OK button; returns when it is dismissed.
  virtual void MessageBox(const std::string& text, const std::string& caption,
                          MessageBoxIcon icon) = 0;
  // Handles every input and paint event already waiting, once.
  virtual void DoEvents() = 0;
  // Repaints what waits to be painted; input stays queued for later.
  virtual void DoPaintEvents() = 0;

  // The system's hand cursor, loaded as "#32649" with no module.
  virtual CursorHandle LoadHandCursor() = 0;
  virtual void SetCursor(CursorHandle cursor) = 0;
  // Lets the user move the form as if its title bar were held.
  virtual void DragWindow(Form& form) = 0;
  // Ends the process at once.
  virtual void EndProgram() = 0;

  // A pop-up menu over the form, at the mouse pointer or, when `at` is given
  // (twips in the form), below that place's top-left corner; returns the index
  // of the chosen line, or -1 when the menu was dismissed.
  virtual int PopupMenu(Form& /*form*/, const std::vector<std::string>& /*lines*/,
                        std::optional<Rect> /*at*/ = std::nullopt) {
    return -1;
  }

  // A function that any thread may call with a number; `handler` then runs
  // with it on this thread, from the message loop. Empty when not supported.
  virtual std::function<void(std::uint32_t)> MakePoster(std::function<void(std::uint32_t)> /*handler*/) {
    return {};
  }
};

}  // namespace orvane::ui

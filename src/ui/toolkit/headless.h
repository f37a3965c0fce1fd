#pragma once
// A windowing system without windows: forms load and run their logic,
// measurements follow fixed rules, and tests give the input and answer
// message boxes and modal dialogs.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/toolkit/form.h"
#include "ui/toolkit/platform.h"

namespace orvane::ui {

class HeadlessPlatform : public UiPlatform {
 public:
  static constexpr CursorHandle kHandCursor = 32649;

  // 15 twips a pixel is 96 dpi; 10 is 144 dpi.
  explicit HeadlessPlatform(float twipsPerPixel = 15.0f) : twipsPerPixel_(twipsPerPixel) {}

  float TwipsPerPixelX() const override { return twipsPerPixel_; }
  float TwipsPerPixelY() const override { return twipsPerPixel_; }
  // One line: height 20 twips per point; width 10 twips per point for an
  // ASCII character and 20 for any other.
  TextSize MeasureText(const std::string& text, const Font& font) override;
  TextSize PictureSize(std::uint16_t bitmapId) override;

  void Show(Form& form) override;
  void ShowModal(Form& form, Form* owner) override;
  void MessageBox(const std::string& text, const std::string& caption,
                  MessageBoxIcon icon) override;
  void DoEvents() override;
  void DoPaintEvents() override { ++paintEventsCalls; }
  CursorHandle LoadHandCursor() override;
  void SetCursor(CursorHandle cursor) override;
  void DragWindow(Form& form) override;
  void EndProgram() override;
  int PopupMenu(Form& form, const std::vector<std::string>& lines, std::optional<Rect> at) override;

  struct Message {
    std::string text;
    std::string caption;
    MessageBoxIcon icon;
  };

  // What the program did.
  std::vector<Message> messages;
  std::vector<CursorHandle> cursorsSet;
  std::vector<Form*> drags;
  std::vector<Form*> shown;       // every Show and ShowModal, in order
  std::vector<Form*> modalStack;  // modal forms open right now
  int handCursorLoads = 0;
  int doEventsCalls = 0;
  int paintEventsCalls = 0;
  bool ended = false;

  // Hooks for the test: drive a modal form (it should close it; a form still
  // open when the hook returns is closed), answer a message box, act while
  // the program processes pending events.
  std::function<void(Form&)> onModal;
  std::function<void(const Message&)> onMessage;
  std::function<void()> onDoEvents;
  // Chooses a line of a pop-up menu (-1 dismisses it); every menu shown is kept.
  std::function<int(const std::vector<std::string>&)> onPopupMenu;
  std::vector<std::vector<std::string>> popupMenus;
  std::vector<std::optional<Rect>> popupPlaces;  // nullopt: at the pointer

  // Posts wait, as in a message queue, until the test delivers them.
  std::function<void(std::uint32_t)> MakePoster(std::function<void(std::uint32_t)> handler) override {
    return [this, handler](std::uint32_t id) {
      std::lock_guard<std::mutex> lock(postedMutex_);
      posted_.push_back([handler, id] { handler(id); });
    };
  }
  // Runs what was posted until nothing is left; returns how many ran.
  std::size_t DeliverPosted() {
    std::size_t count = 0;
    for (;;) {
      std::function<void()> next;
      {
        std::lock_guard<std::mutex> lock(postedMutex_);
        if (posted_.empty()) return count;
        next = std::move(posted_.front());
        posted_.erase(posted_.begin());
      }
      next();
      ++count;
    }
  }

  // Input as a person gives it. Nothing happens (false) when the widget is
  // hidden or disabled, or its form is behind an open modal form.
  bool Click(Widget& widget);
  bool MouseMove(Widget& widget, int buttons, Twips x = 0, Twips y = 0);
  bool MouseDown(Widget& widget, int button, Twips x = 0, Twips y = 0);
  bool MouseUp(Widget& widget, int button, Twips x = 0, Twips y = 0);
  // Types into a text box (replacing its text) as the user would.
  bool Type(TextBox& box, const std::string& text);
  // Ticks or unticks a list line by clicking its box.
  bool ToggleLine(ListBox& list, int line);
  // A key pressed while `form` is active; false when it did nothing.
  bool PressKey(Form& form, Key key, int shift = 0);
  // Moves a scroll bar as a click on an arrow or the track would.
  bool Scroll(ScrollBar& bar, int newValue);

 private:
  bool Reachable(const Widget& widget) const;
  float twipsPerPixel_;
  std::mutex postedMutex_;
  std::vector<std::function<void()>> posted_;
};

}  // namespace orvane::ui

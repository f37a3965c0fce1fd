#pragma once
// The concrete widgets.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/toolkit/widget.h"

namespace orvane::ui {

// A picture from the program's bitmap resources. Setting one loads it afresh
// and gives the image the picture's size.
class Image : public Widget {
 public:
  explicit Image(std::string name, int index = -1) : Widget(WidgetKind::Image, std::move(name), index) {}
  std::uint16_t Picture() const { return picture_; }
  void SetPicture(std::uint16_t bitmapId);
  // Counts every assignment, so a peer can tell a reload of the same id.
  std::uint64_t PictureSerial() const { return pictureSerial_; }

 protected:
  void OnAttached() override;

 private:
  void SetSizeFromPicture(const TextSize& size);
  std::uint16_t picture_ = 0;
  std::uint64_t pictureSerial_ = 0;
  bool sizedDetached_ = false;  // sized before it had a form to measure with
};

enum class BackStyle { Transparent, Opaque };

// A one-line caption. With auto-size on it takes the size of its text.
class Label : public Widget {
 public:
  explicit Label(std::string name, int index = -1) : Widget(WidgetKind::Label, std::move(name), index) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);
  Color ForeColor() const { return foreColor_; }
  void SetForeColor(Color c);
  Color BackColor() const { return backColor_; }
  void SetBackColor(Color c);
  BackStyle Style() const { return backStyle_; }
  void SetBackStyle(BackStyle s);
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& f);
  void SetUnderline(bool on);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);

 protected:
  void OnAttached() override;

 private:
  void Fit();
  std::string caption_;
  Color foreColor_ = 0x80000012u;
  Color backColor_ = 0x8000000Fu;
  BackStyle backStyle_ = BackStyle::Opaque;
  Font font_;
  bool autoSize_ = false;
};

// A text box; one line, or several lines with a vertical scroll bar.
class TextBox : public Widget {
 public:
  explicit TextBox(std::string name, int index = -1) : Widget(WidgetKind::TextBox, std::move(name), index) {
    SetTabStop(true);
    accessible.role = AccRole::Text;
  }
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  // Typed by the user: updates the model without echoing back to the peer.
  void UserEdited(std::string text) { text_ = std::move(text); }
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool on) { multiLine_ = on; }
  bool Locked() const { return locked_; }
  void SetLocked(bool on) { locked_ = on; }
  bool VerticalScrollBar() const { return vScroll_; }
  void SetVerticalScrollBar(bool on) { vScroll_ = on; }
  // Most UTF-16 units the user can type in; 0: no limit of its own.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int units) { maxLength_ = units; }
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& f);

 private:
  std::string text_;
  bool multiLine_ = false;
  bool locked_ = false;
  bool vScroll_ = false;
  int maxLength_ = 0;
  Font font_;
};

// A vertical scroll bar. Value changes (arrows, track, a released thumb, or
// code) raise onChange; dragging the thumb does not.
class ScrollBar : public Widget {
 public:
  explicit ScrollBar(std::string name, int index = -1) : Widget(WidgetKind::ScrollBar, std::move(name), index) {}
  std::int16_t Min() const { return min_; }
  std::int16_t Max() const { return max_; }
  std::int16_t SmallChange() const { return smallChange_; }
  std::int16_t LargeChange() const { return largeChange_; }
  std::int16_t Value() const { return value_; }
  void SetMin(std::int16_t v);
  void SetMax(std::int16_t v);
  void SetSmallChange(std::int16_t v) { smallChange_ = v; }
  void SetLargeChange(std::int16_t v) { largeChange_ = v; }
  void SetValue(std::int16_t v);  // clamped to the range; onChange when it differs
  Handler onChange;

 private:
  std::int16_t min_ = 0, max_ = 32767, smallChange_ = 1, largeChange_ = 1, value_ = 0;
};

// A plain child container with a background colour.
class Panel : public Container {
 public:
  explicit Panel(std::string name, int index = -1) : Container(WidgetKind::Panel, std::move(name), index) {}
};

// A list whose lines each carry a check box.
class ListBox : public Widget {
 public:
  explicit ListBox(std::string name, int index = -1) : Widget(WidgetKind::ListBox, std::move(name), index) {
    SetTabStop(true);
    accessible.role = AccRole::List;
  }
  struct Line {
    std::string text;
    bool checked = false;
  };
  void Clear();
  void AddItem(std::string text);
  int ListCount() const { return static_cast<int>(lines_.size()); }
  const std::string& List(int i) const { return lines_.at(i).text; }
  bool Selected(int i) const { return lines_.at(i).checked; }
  void SetSelected(int i, bool on);
  int SelCount() const;
  const std::vector<Line>& Lines() const { return lines_; }
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& f);

 private:
  std::vector<Line> lines_;
  Font font_;
};

// A timer on a form; onTimer runs every interval while enabled.
class Timer : public Widget {
 public:
  explicit Timer(std::string name) : Widget(WidgetKind::Timer, std::move(name)) { SetVisible(false); }
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool TimerEnabled() const { return timerEnabled_; }
  void SetTimerEnabled(bool on);
  Handler onTimer;
  void FireTimer() { if (timerEnabled_ && onTimer) onTimer(); }

 private:
  int interval_ = 0;
  bool timerEnabled_ = false;
};

// Base of the program's own controls: a container with its own background
// that is told when it is resized.
class UserControl : public Container {
 protected:
  UserControl(std::string name, int index) : Container(WidgetKind::UserControl, std::move(name), index) {}
  void OnResized() override { Resize(); }
  virtual void Resize() {}
};

}  // namespace orvane::ui

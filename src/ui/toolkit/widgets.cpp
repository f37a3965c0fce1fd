#include "ui/toolkit/widgets.h"

#include <algorithm>

#include "resources/catalogue.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/platform.h"

namespace orvane::ui {

namespace {

// Without a form there is no platform to ask, so the picture is measured
// here at 96 dpi; the size is taken again once the widget joins a form.
TextSize DetachedPictureSize(std::uint16_t bitmapId) {
  const PictureInfo info = LoadPictureInfo(bitmapId);
  if (!info.exists()) return {};
  return {static_cast<Twips>(info.width) * 15.0f, static_cast<Twips>(info.height) * 15.0f};
}

}  // namespace

// --- Image

void Image::SetPicture(std::uint16_t bitmapId) {
  picture_ = bitmapId;
  ++pictureSerial_;
  const Form* form = OwnerForm();
  const TextSize size = form != nullptr ? form->Platform().PictureSize(bitmapId)
                                        : DetachedPictureSize(bitmapId);
  sizedDetached_ = form == nullptr;
  // A missing picture leaves the widget's size as it was.
  if (size.width > 0 && size.height > 0) SetSizeFromPicture(size);
  Notify(Change::Picture);
}

void Image::SetSizeFromPicture(const TextSize& size) {
  Move({Left(), Top(), size.width, size.height});
}

void Image::OnAttached() {
  if (!sizedDetached_) return;
  sizedDetached_ = false;
  const TextSize guessed = DetachedPictureSize(picture_);
  // Only a size nobody has changed since is replaced.
  if (guessed.width != Width() || guessed.height != Height()) return;
  const TextSize size = OwnerForm()->Platform().PictureSize(picture_);
  if (size.width > 0 && size.height > 0) SetSizeFromPicture(size);
}

// --- Label

void Label::SetCaption(std::string text) {
  // The lock timer sets the same result text ten times a second.
  if (text == caption_) return;
  caption_ = std::move(text);
  Fit();
  Notify(Change::Caption);
}

void Label::SetForeColor(Color c) {
  if (foreColor_ == c) return;
  foreColor_ = c;
  Notify(Change::Colors);
}

void Label::SetBackColor(Color c) {
  if (backColor_ == c) return;
  backColor_ = c;
  Notify(Change::Colors);
}

void Label::SetBackStyle(BackStyle s) {
  if (backStyle_ == s) return;
  backStyle_ = s;
  Notify(Change::Colors);
}

void Label::SetFont(const Font& f) {
  font_ = f;
  Fit();
  Notify(Change::Font);
}

void Label::SetUnderline(bool on) {
  if (font_.underline == on) return;
  font_.underline = on;
  Fit();
  Notify(Change::Font);
}

void Label::SetAutoSize(bool on) {
  autoSize_ = on;
  Fit();
}

void Label::Fit() {
  if (!autoSize_) return;
  Form* form = OwnerForm();
  if (form == nullptr) return;  // fitted when it joins a form
  const TextSize size = form->Platform().MeasureText(caption_, font_);
  Move({Left(), Top(), size.width, size.height});
}

void Label::OnAttached() { Fit(); }

// --- TextBox

void TextBox::SetText(std::string text) {
  text_ = std::move(text);
  Notify(Change::Text);
}

void TextBox::SetFont(const Font& f) {
  font_ = f;
  Notify(Change::Font);
}

// --- ScrollBar

void ScrollBar::SetMin(std::int16_t v) {
  min_ = v;
  Notify(Change::Range);
  SetValue(value_);
}

void ScrollBar::SetMax(std::int16_t v) {
  max_ = v;
  Notify(Change::Range);
  SetValue(value_);
}

void ScrollBar::SetValue(std::int16_t v) {
  // The range may run either way (Min above Max).
  const std::int16_t lo = std::min(min_, max_);
  const std::int16_t hi = std::max(min_, max_);
  v = std::clamp(v, lo, hi);
  if (v == value_) return;
  value_ = v;
  Notify(Change::Value);
  if (onChange) onChange();
}

// --- ListBox

void ListBox::Clear() {
  lines_.clear();
  Notify(Change::Items);
}

void ListBox::AddItem(std::string text) {
  lines_.push_back({std::move(text), false});
  Notify(Change::Items);
}

void ListBox::SetSelected(int i, bool on) {
  Line& line = lines_.at(static_cast<std::size_t>(i));
  if (line.checked == on) return;
  line.checked = on;
  Notify(Change::Items);
}

int ListBox::SelCount() const {
  return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [](const Line& l) { return l.checked; }));
}

void ListBox::SetFont(const Font& f) {
  font_ = f;
  Notify(Change::Font);
}

// --- Timer

void Timer::SetInterval(int ms) {
  interval_ = ms;
  Notify(Change::Timer);
}

void Timer::SetTimerEnabled(bool on) {
  if (timerEnabled_ == on) return;
  timerEnabled_ = on;
  Notify(Change::Timer);
}

}  // namespace orvane::ui

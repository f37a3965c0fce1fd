#include "ui/controls/check_box.h"

#include <utility>

namespace orvane::ui {

namespace {
constexpr Twips kBoxLeft = 0, kBoxTop = 40;
constexpr Twips kLabelLeft = 250, kLabelTop = 55;
}  // namespace

const std::string& CheckBox::DefaultText() {
  static const std::string text = "精美CheckBox";
  return text;
}

const std::array<PropertyDescriptor, 4>& CheckBox::Properties() {
  static const std::array<PropertyDescriptor, 4> table = {{
      {"ForeColor", "返回/设置对象中文本和图形的前景色。", "New_ForeColor", "ForeColor",
       PropertyValue(kDefaultForeColor)},
      {"Text", "返回/设置对象的标题栏中或图标下面的文本。", "New_Text", "Text",
       PropertyValue(DefaultText())},
      {"Checked", "控件是否为选中状态", "New_Check", "Checked", PropertyValue(false)},
      {"BackColor", "", "New_BackColor", "BackColor", PropertyValue(kDefaultBackColor)},
  }};
  return table;
}

CheckBox::CheckBox(std::string name, int index)
    : UserControl(std::move(name), index),
      imgchk_(Add<Image>("imgchk")),
      lblText_(Add<Label>("lblText")) {
  SetTabStop(true);
  accessible.role = AccRole::CheckBox;
  imgchk_.SetLeft(kBoxLeft);
  imgchk_.SetTop(kBoxTop);
  imgchk_.SetPicture(kUncheckedPicture);

  lblText_.SetLeft(kLabelLeft);
  lblText_.SetTop(kLabelTop);
  lblText_.SetBackStyle(BackStyle::Transparent);
  lblText_.SetAutoSize(true);
  lblText_.SetCaption(DefaultText());

  imgchk_.onClick = [this] { Toggle(); };
  lblText_.onClick = [this] { Toggle(); };
}

void CheckBox::SetForeColor(Color newForeColor) {
  lblText_.SetForeColor(newForeColor);
  MarkChanged(Property::ForeColor);
}

void CheckBox::SetText(std::string newText) {
  lblText_.SetCaption(std::move(newText));
  SetWidth(lblText_.Left() + lblText_.Width() + kLabelGap);
  MarkChanged(Property::Text);
}

void CheckBox::SetChecked(bool newCheck) {
  checked_ = newCheck;
  ShowState();
  MarkChanged(Property::Checked);
}

void CheckBox::SetBackColor(Color newBackColor) {
  Container::SetBackColor(newBackColor);
  MarkChanged(Property::BackColor);
}

void CheckBox::Toggle() {
  imgchk_.SetPicture(checked_ ? kUncheckedPicture : kCheckedPicture);
  checked_ = !checked_;
}

void CheckBox::ShowState() { imgchk_.SetPicture(checked_ ? kCheckedPicture : kUncheckedPicture); }

void CheckBox::Resize() {
  imgchk_.SetTop((Height() - imgchk_.Height()) / 2);
  lblText_.SetTop(imgchk_.Top() + kLabelDrop);
}

void CheckBox::InitProperties() {
  checked_ = false;
  ShowState();
}

namespace {
template <class T>
T Read(const PropertyBag& bag, CheckBox::Property property) {
  const PropertyDescriptor& d = CheckBox::Properties()[static_cast<int>(property)];
  return bag.ReadProperty(d.persistedName, std::get<T>(d.fallback));
}

void Write(PropertyBag& bag, CheckBox::Property property, PropertyValue value) {
  const PropertyDescriptor& d = CheckBox::Properties()[static_cast<int>(property)];
  bag.WriteProperty(d.persistedName, std::move(value), d.fallback);
}
}  // namespace

// Loading restores the parts directly: no widening, no changed marks.
void CheckBox::ReadProperties(const PropertyBag& bag) {
  lblText_.SetForeColor(Read<Color>(bag, Property::ForeColor));
  lblText_.SetCaption(Read<std::string>(bag, Property::Text));
  checked_ = Read<bool>(bag, Property::Checked);
  ShowState();
  Container::SetBackColor(Read<Color>(bag, Property::BackColor));
}

void CheckBox::WriteProperties(PropertyBag& bag) const {
  Write(bag, Property::ForeColor, ForeColor());
  Write(bag, Property::Text, Text());
  Write(bag, Property::Checked, checked_);
  Write(bag, Property::BackColor, BackColor());
}

}  // namespace orvane::ui

#pragma once
// The program's own check box: a box drawn with two skin pictures and a
// caption beside it. A click anywhere on it toggles it; it raises no events.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/controls/property_bag.h"
#include "ui/toolkit/widgets.h"

namespace orvane::ui {

// How the control's interface describes one of its properties.
struct PropertyDescriptor {
  const char* name;
  const char* helpText;     // empty: none
  const char* setterParam;  // name of the setter's value parameter
  const char* persistedName;
  PropertyValue fallback;   // persisted default
};

class CheckBox : public UserControl {
 public:
  static constexpr std::uint16_t kCheckedPicture = 108;
  static constexpr std::uint16_t kUncheckedPicture = 110;
  static constexpr Twips kLabelGap = 60;       // right of the caption
  static constexpr Twips kLabelDrop = 15;      // caption top below the box top
  static constexpr Color kDefaultForeColor = 0x80000012u;  // button text
  static constexpr Color kDefaultBackColor = 0x8000000Fu;  // button face

  enum class Property { ForeColor, Text, Checked, BackColor };

  explicit CheckBox(std::string name, int index = -1);

  // ForeColor, Text, Checked, BackColor, in the interface's order.
  static const std::array<PropertyDescriptor, 4>& Properties();
  static const std::string& DefaultText();

  Color ForeColor() const { return lblText_.ForeColor(); }
  void SetForeColor(Color newForeColor);
  const std::string& Text() const { return lblText_.Caption(); }
  void SetText(std::string newText);
  bool Checked() const { return checked_; }
  void SetChecked(bool newCheck);
  Color BackColor() const { return Container::BackColor(); }
  void SetBackColor(Color newBackColor);

  // Set through a property since the last ClearChanged, so a host saves it.
  bool IsChanged(Property property) const { return changed_[static_cast<int>(property)]; }
  void ClearChanged() { changed_ = {}; }

  // Designer lifecycle: first placement, loading and saving.
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  void Toggle();
  void FireClick() override { Toggle(); }
  bool AccessibleChecked() const override { return checked_; }

  Image& Box() { return imgchk_; }
  Label& Caption() { return lblText_; }

 protected:
  void Resize() override;

 private:
  void ShowState();
  void MarkChanged(Property property) { changed_[static_cast<int>(property)] = true; }

  Image& imgchk_;
  Label& lblText_;
  bool checked_ = false;
  std::array<bool, 4> changed_{};
};

}  // namespace orvane::ui

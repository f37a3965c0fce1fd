#include "ui/controls/check_box.h"

#include <gtest/gtest.h>

#include "ui/toolkit/headless.h"

namespace orvane::ui {
namespace {

using P = CheckBox::Property;
constexpr P kAll[] = {P::ForeColor, P::Text, P::Checked, P::BackColor};

class CheckBoxTest : public ::testing::Test {
 protected:
  HeadlessPlatform platform;
  Form form{platform, "host"};
  CheckBox& box = form.Add<CheckBox>("chk");
};

TEST_F(CheckBoxTest, FreshControlHoldsItsDefaults) {
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(box.Box().Picture(), CheckBox::kUncheckedPicture);
  EXPECT_EQ(box.Box().Top(), 40);
  EXPECT_EQ(box.Caption().Left(), 250);
  EXPECT_EQ(box.Caption().Top(), 55);
  EXPECT_EQ(box.Text(), "精美CheckBox");
  // Sized to its text once on a form: 2 wide characters and 8 narrow at 9 pt.
  EXPECT_EQ(box.Caption().Width(), 2 * 180 + 8 * 90);
  EXPECT_EQ(box.ForeColor(), 0x80000012u);
  EXPECT_EQ(box.BackColor(), 0x8000000Fu);
  for (P p : kAll) EXPECT_FALSE(box.IsChanged(p));
}

TEST_F(CheckBoxTest, ClickAnywhereTogglesWithoutMarkingChecked) {
  bool expected = false;
  for (Widget* target : {static_cast<Widget*>(&box.Box()), static_cast<Widget*>(&box.Caption()),
                         static_cast<Widget*>(&box)}) {
    const auto serial = box.Box().PictureSerial();
    ASSERT_TRUE(platform.Click(*target)) << target->Name();
    expected = !expected;
    EXPECT_EQ(box.Checked(), expected) << target->Name();
    EXPECT_EQ(box.Box().Picture(), expected ? 108 : 110) << target->Name();
    EXPECT_EQ(box.Box().PictureSerial(), serial + 1) << "picture loaded afresh";
  }
  EXPECT_FALSE(box.IsChanged(P::Checked));

  // Setting the same value still reloads the picture, and marks only Checked.
  box.ClearChanged();
  const auto serial = box.Box().PictureSerial();
  box.SetChecked(true);
  EXPECT_EQ(box.Box().PictureSerial(), serial + 1);
  for (P p : kAll) EXPECT_EQ(box.IsChanged(p), p == P::Checked);
  box.ClearChanged();
  box.SetForeColor(0x000000FFu);
  EXPECT_EQ(box.Caption().ForeColor(), 0x000000FFu);
  for (P p : kAll) EXPECT_EQ(box.IsChanged(p), p == P::ForeColor);
}

TEST_F(CheckBoxTest, TextWidensTheControlButLoadingDoesNot) {
  box.Move({100, 200, 1000, 300});
  box.SetText("无法打开组策略");  // 7 wide characters: 1260 twips at 9 pt
  EXPECT_EQ(box.Width(), 250 + 1260 + 60);
  EXPECT_EQ(box.Height(), 300);

  PropertyBag bag;
  bag.WriteProperty("Text", std::string("a much longer caption"), std::string("精美CheckBox"));
  box.ReadProperties(bag);
  EXPECT_EQ(box.Text(), "a much longer caption");
  EXPECT_EQ(box.Width(), 250 + 1260 + 60);
}

TEST_F(CheckBoxTest, ResizeCentresTheBoxAndHangsTheLabelBelowIt) {
  box.Move({0, 0, 2000, 400});
  EXPECT_FLOAT_EQ(box.Box().Top(), 102.5f);
  EXPECT_FLOAT_EQ(box.Caption().Top(), 117.5f);
  box.Move({0, 0, 2000, 100});  // lower than the box
  EXPECT_FLOAT_EQ(box.Box().Top(), -47.5f);
  EXPECT_FLOAT_EQ(box.Caption().Top(), -32.5f);
}

TEST_F(CheckBoxTest, OnlyValuesOffTheirDefaultsAreSaved) {
  box.InitProperties();
  PropertyBag bag;
  box.WriteProperties(bag);
  EXPECT_EQ(bag.Size(), 0u);

  box.SetForeColor(kBlack);
  box.SetText("修复后锁定修复项");
  box.SetChecked(true);
  box.SetBackColor(kWhite);
  box.WriteProperties(bag);
  EXPECT_EQ(bag.Size(), 4u);
  EXPECT_EQ(std::get<bool>(bag.Values().at("Checked")), true);
  CheckBox& copy = form.Add<CheckBox>("copy");
  copy.ReadProperties(bag);
  EXPECT_EQ(copy.ForeColor(), kBlack);
  EXPECT_EQ(copy.Text(), "修复后锁定修复项");
  EXPECT_EQ(copy.Box().Picture(), 108);
  EXPECT_EQ(copy.BackColor(), kWhite);

  // chklock as the main window's design holds it: colours only; a missing
  // Checked loads as its default.
  PropertyBag design;
  design.WriteProperty("ForeColor", 0x80000008u, CheckBox::kDefaultForeColor);
  design.WriteProperty("BackColor", kWhite, CheckBox::kDefaultBackColor);
  CheckBox& loaded = form.Add<CheckBox>("chklock");
  loaded.SetChecked(true);
  loaded.ReadProperties(design);
  EXPECT_EQ(loaded.Text(), "精美CheckBox");
  EXPECT_FALSE(loaded.Checked());
  EXPECT_EQ(loaded.Box().Picture(), 110);
  EXPECT_EQ(loaded.ForeColor(), 0x80000008u);

  // Back to the defaults: the saved entries go.
  box.SetForeColor(CheckBox::kDefaultForeColor);
  box.SetText(CheckBox::DefaultText());
  box.SetChecked(false);
  box.SetBackColor(CheckBox::kDefaultBackColor);
  box.WriteProperties(bag);
  EXPECT_EQ(bag.Size(), 0u);
}

}  // namespace
}  // namespace orvane::ui

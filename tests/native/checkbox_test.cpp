#include "ui/controls/check_box.h"

#include <gtest/gtest.h>

#include "ui/toolkit/headless.h"

namespace orvane::ui {
namespace {

class CheckBoxTest : public ::testing::Test {
 protected:
  HeadlessPlatform platform;
  Form form{platform, "host"};
  CheckBox& box = form.Add<CheckBox>("chk");
};

TEST_F(CheckBoxTest, ClickAnywhereTogglesAndEveryChangeLoadsThePictureAfresh) {
  bool expected = false;
  for (Widget* target : {static_cast<Widget*>(&box.Box()), static_cast<Widget*>(&box.Caption()),
                         static_cast<Widget*>(&box)}) {
    const auto serial = box.Box().PictureSerial();
    ASSERT_TRUE(platform.Click(*target)) << target->Name();
    expected = !expected;
    EXPECT_EQ(box.Checked(), expected) << target->Name();
    EXPECT_EQ(box.Box().Picture(), expected ? 108 : 110) << target->Name();
    EXPECT_EQ(box.Box().PictureSerial(), serial + 1) << target->Name();
  }
  EXPECT_FALSE(box.IsChanged(CheckBox::Property::Checked));  // a click is no saved property
}

TEST_F(CheckBoxTest, TextWidensTheControlButLoadingDoesNot) {
  box.Move({100, 200, 1000, 300});
  box.SetText("无法打开组策略");
  const Twips wide = box.Width();
  EXPECT_GT(wide, 1000);
  EXPECT_EQ(box.Height(), 300);
  PropertyBag bag;
  bag.WriteProperty("Text", std::string("a much longer caption"), std::string("精美CheckBox"));
  box.ReadProperties(bag);
  EXPECT_EQ(box.Text(), "a much longer caption");
  EXPECT_EQ(box.Width(), wide);
}

TEST_F(CheckBoxTest, OnlyValuesOffTheirDefaultsAreSavedAndTheyLoadBack) {
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
  CheckBox& copy = form.Add<CheckBox>("copy");
  copy.ReadProperties(bag);
  EXPECT_EQ(copy.ForeColor(), kBlack);
  EXPECT_EQ(copy.Text(), "修复后锁定修复项");
  EXPECT_EQ(copy.Box().Picture(), 108);
  EXPECT_EQ(copy.BackColor(), kWhite);

  PropertyBag colours;  // a missing Checked loads as its default
  colours.WriteProperty("BackColor", kWhite, CheckBox::kDefaultBackColor);
  copy.ReadProperties(colours);
  EXPECT_FALSE(copy.Checked());
  EXPECT_EQ(copy.Text(), CheckBox::DefaultText());

  box.SetForeColor(CheckBox::kDefaultForeColor);  // back to the defaults: the entries go
  box.SetText(CheckBox::DefaultText());
  box.SetChecked(false);
  box.SetBackColor(CheckBox::kDefaultBackColor);
  box.WriteProperties(bag);
  EXPECT_EQ(bag.Size(), 0u);
}

}  // namespace
}  // namespace orvane::ui

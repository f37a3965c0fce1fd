#include "ui/controls/check_box.h"

#include <gtest/gtest.h>

#include "ui/toolkit/headless.h"

namespace orvane::ui {
namespace {

using P = CheckBox::Property;

class CheckBoxTest : public ::testing::Test {
 protected:
  HeadlessPlatform platform;
  Form form{platform, "host"};
  CheckBox& box = form.Add<CheckBox>("chk");

  bool AnyChanged() const {
    for (P p : {P::ForeColor, P::Text, P::Checked, P::BackColor}) {
      if (box.IsChanged(p)) return true;
    }
    return false;
  }
};

TEST_F(CheckBoxTest, FreshControlIsUncheckedWithItsCreationParts) {
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(box.Box().Picture(), CheckBox::kUncheckedPicture);
  EXPECT_EQ(box.Box().Bounds().left, 0);
  EXPECT_EQ(box.Box().Top(), 40);
  EXPECT_EQ(box.Box().Width(), 195);  // 13 pixels
  EXPECT_EQ(box.Box().Height(), 195);

  const Label& label = box.Caption();
  EXPECT_EQ(label.Left(), 250);
  EXPECT_EQ(label.Top(), 55);
  EXPECT_EQ(box.Text(), "精美CheckBox");
  EXPECT_EQ(label.Style(), BackStyle::Transparent);
  EXPECT_TRUE(label.AutoSize());
  // Sized to its text once on a form: 2 wide characters and 8 narrow at 9 pt.
  EXPECT_EQ(label.Width(), 2 * 180 + 8 * 90);

  EXPECT_EQ(box.ForeColor(), 0x80000012u);
  EXPECT_EQ(box.BackColor(), 0x8000000Fu);
  EXPECT_FALSE(AnyChanged());
}

TEST_F(CheckBoxTest, ClickAnywhereTogglesWithoutMarkingChecked) {
  Widget* targets[] = {&box.Box(), &box.Caption(), &box};
  bool expected = false;
  for (Widget* target : targets) {
    const auto serial = box.Box().PictureSerial();
    ASSERT_TRUE(platform.Click(*target)) << target->Name();
    expected = !expected;
    EXPECT_EQ(box.Checked(), expected) << target->Name();
    EXPECT_EQ(box.Box().Picture(), expected ? 108 : 110) << target->Name();
    EXPECT_EQ(box.Box().PictureSerial(), serial + 1) << "picture loaded afresh";
  }
  ASSERT_TRUE(platform.Click(box.Caption()));
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(box.Box().Picture(), 110);
  EXPECT_FALSE(box.IsChanged(P::Checked));
}

TEST_F(CheckBoxTest, SettersMarkOnlyTheirOwnProperty) {
  struct Case {
    P property;
    std::function<void()> set;
  } cases[] = {
      {P::ForeColor, [&] { box.SetForeColor(0x000000FFu); }},
      {P::Text, [&] { box.SetText("x"); }},
      {P::Checked, [&] { box.SetChecked(false); }},
      {P::BackColor, [&] { box.SetBackColor(kWhite); }},
  };
  for (const Case& c : cases) {
    box.ClearChanged();
    c.set();
    for (P other : {P::ForeColor, P::Text, P::Checked, P::BackColor}) {
      EXPECT_EQ(box.IsChanged(other), other == c.property);
    }
  }
  EXPECT_EQ(box.ForeColor(), 0x000000FFu);
  EXPECT_EQ(box.Caption().ForeColor(), 0x000000FFu);
  EXPECT_EQ(box.BackColor(), kWhite);
}

TEST_F(CheckBoxTest, SettingCheckedShowsTheMatchingPictureEvenWhenUnchanged) {
  box.SetChecked(true);
  EXPECT_EQ(box.Box().Picture(), 108);
  const auto serial = box.Box().PictureSerial();
  box.SetChecked(true);
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(box.Box().Picture(), 108);
  EXPECT_EQ(box.Box().PictureSerial(), serial + 1);
  box.SetChecked(false);
  EXPECT_EQ(box.Box().Picture(), 110);
}

TEST_F(CheckBoxTest, TextWidensTheControlButLoadingDoesNot) {
  box.Move({100, 200, 1000, 300});
  box.SetText("无法打开组策略");  // 7 wide characters: 1260 twips at 9 pt
  EXPECT_EQ(box.Caption().Width(), 1260);
  EXPECT_EQ(box.Width(), 250 + 1260 + 60);
  EXPECT_EQ(box.Height(), 300);
  EXPECT_EQ(box.Left(), 100);

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
  EXPECT_EQ(box.Box().Left(), 0);
  EXPECT_EQ(box.Caption().Left(), 250);
  EXPECT_EQ(box.Box().Height(), 195);
}

TEST_F(CheckBoxTest, DefaultsAreNotSavedAndEverythingElseRoundTrips) {
  // A fresh control holds every default, so first placement saves nothing.
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
  EXPECT_EQ(std::get<std::uint32_t>(bag.Values().at("ForeColor")), kBlack);
  EXPECT_EQ(std::get<std::string>(bag.Values().at("Text")), "修复后锁定修复项");
  EXPECT_EQ(std::get<bool>(bag.Values().at("Checked")), true);
  EXPECT_EQ(std::get<std::uint32_t>(bag.Values().at("BackColor")), kWhite);

  CheckBox& copy = form.Add<CheckBox>("copy");
  copy.ReadProperties(bag);
  EXPECT_EQ(copy.ForeColor(), kBlack);
  EXPECT_EQ(copy.Text(), "修复后锁定修复项");
  EXPECT_TRUE(copy.Checked());
  EXPECT_EQ(copy.Box().Picture(), 108);
  EXPECT_EQ(copy.BackColor(), kWhite);
  EXPECT_FALSE(copy.IsChanged(P::Checked));

  // Back to the defaults: the saved entries go.
  box.SetForeColor(CheckBox::kDefaultForeColor);
  box.SetText(CheckBox::DefaultText());
  box.SetChecked(false);
  box.SetBackColor(CheckBox::kDefaultBackColor);
  box.WriteProperties(bag);
  EXPECT_EQ(bag.Size(), 0u);
}

TEST_F(CheckBoxTest, DesignTimeInstanceSavesOnlyItsColours) {
  // chklock as the main window's design holds it.
  PropertyBag bag;
  box.SetForeColor(0x80000008u);
  box.SetBackColor(kWhite);
  box.WriteProperties(bag);
  EXPECT_EQ(bag.Size(), 2u);
  EXPECT_TRUE(bag.Contains("ForeColor"));
  EXPECT_TRUE(bag.Contains("BackColor"));

  CheckBox& loaded = form.Add<CheckBox>("chklock");
  loaded.SetChecked(true);
  loaded.ReadProperties(bag);
  EXPECT_EQ(loaded.Text(), "精美CheckBox");
  EXPECT_FALSE(loaded.Checked()) << "a missing Checked loads as its default";
  EXPECT_EQ(loaded.Box().Picture(), 110);
  EXPECT_EQ(loaded.ForeColor(), 0x80000008u);
}

}  // namespace
}  // namespace orvane::ui

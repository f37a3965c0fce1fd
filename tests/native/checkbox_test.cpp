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

}  // namespace
}  // namespace orvane::ui

#include <gtest/gtest.h>

#include "support/main_window_fixture.h"

namespace orvane {
namespace {

using testing::MainWindowFixture;

TEST(ItemList, EachResultLabelFollowsItsOwnRowsText) {
  MainWindowFixture f;
  const frmMain& form = *f.form;
  ASSERT_EQ(form.rows.Count(), 13);
  for (int i = 0; i < 13; ++i) {
    const ui::CheckBox& box = *form.rows.chkdo[i];
    const ui::Label& label = *form.rows.lbldoinfo[i];
    EXPECT_FALSE(box.Checked() || label.Visible()) << i;
    EXPECT_EQ(label.Left(), box.Left() + box.Width() + 150) << i;
  }
  EXPECT_NE(form.rows.lbldoinfo[0]->Left(), form.rows.lbldoinfo[2]->Left());
}

TEST(ItemList, ScrollingMovesThePanel300TwipsAStep) {
  MainWindowFixture f;
  frmMain& form = *f.form;
  ASSERT_TRUE(f.platform.Scroll(form.vsroll, 3));
  EXPECT_EQ(form.piclist.Top(), -900);
  f.platform.Scroll(form.vsroll, 9);  // beyond the range: stops at the maximum
  EXPECT_EQ(form.piclist.Top(), -1500);
  // The product is taken wider than 16 bits: no wrap past 109 steps.
  EXPECT_EQ(ListScrollTop(110), -33000);
  EXPECT_EQ(ListScrollTop(32767), -9830100);
}

}  // namespace
}  // namespace orvane

#include <gtest/gtest.h>

#include "support/main_window_fixture.h"

namespace orvane {
namespace {

using testing::MainWindowFixture;

TEST(ItemList, EachResultLabelFollowsItsOwnRowsText) {
  MainWindowFixture f;
  const frmMain& form = *f.form;
  ASSERT_EQ(form.rows.Count(), 14);
  for (int i = 0; i < 14; ++i) {
    const ui::CheckBox& box = *form.rows.chkdo[i];
    const ui::Label& label = *form.rows.lbldoinfo[i];
    EXPECT_FALSE(box.Checked() || label.Visible()) << i;
    EXPECT_EQ(label.Left(), box.Left() + box.Width() + 150) << i;
  }
  EXPECT_NE(form.rows.lbldoinfo[0]->Left(), form.rows.lbldoinfo[2]->Left());
}

}  // namespace
}  // namespace orvane

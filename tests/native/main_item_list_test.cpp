#include <gtest/gtest.h>

#include "resources/catalogue.h"
#include "support/main_window_fixture.h"

namespace orvane {
namespace {

using testing::MainWindowFixture;

std::vector<int> TickedRows(const frmMain& form) {
  std::vector<int> ticked;
  for (int i = 0; i < form.rows.Count(); ++i) {
    if (form.rows.chkdo[i]->Checked()) ticked.push_back(i);
  }
  return ticked;
}

TEST(ItemList, BuildsThirteenUntickedRowsWithHiddenLabels) {
  MainWindowFixture f;
  const frmMain& form = *f.form;
  ASSERT_EQ(form.rows.Count(), 13);
  ASSERT_EQ(form.rows.lbldoinfo.size(), 13u);
  for (int i = 0; i < 13; ++i) {
    SCOPED_TRACE(i);
    const ui::CheckBox& box = *form.rows.chkdo[i];
    const ui::Label& label = *form.rows.lbldoinfo[i];
    EXPECT_EQ(box.Index(), i);
    EXPECT_EQ(box.Parent(), &form.piclist);
    EXPECT_EQ(box.Text(), LoadString(static_cast<std::uint16_t>(101 + i)));
    EXPECT_FALSE(box.Checked());
    EXPECT_FALSE(label.Visible());
    EXPECT_EQ(box.Top(), 30 + 435 * i);
    EXPECT_EQ(label.Top(), 135 + 435 * i);
    // 150 twips after the end of the row's own text.
    EXPECT_EQ(label.Left(), box.Left() + box.Width() + 150);
    EXPECT_EQ(label.ForeColor(), 0x0000FF00u);
  }
  // Texts of different lengths give labels at different places.
  EXPECT_NE(form.rows.lbldoinfo[0]->Left(), form.rows.lbldoinfo[2]->Left());
}

TEST(ItemList, SelectAllAndInvertGoOverEveryRow) {
  MainWindowFixture f;
  frmMain& form = *f.form;
  auto& p = f.platform;

  ASSERT_TRUE(p.Click(*form.rows.chkdo[0]));
  ASSERT_TRUE(p.Click(*form.rows.chkdo[3]));
  ASSERT_TRUE(p.Click(form.lblnochk));
  EXPECT_EQ(TickedRows(form), (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  ASSERT_TRUE(p.Click(form.lblnochk));
  EXPECT_EQ(TickedRows(form), (std::vector<int>{0, 3}));

  ASSERT_TRUE(p.Click(form.lblchkall));
  EXPECT_EQ(TickedRows(form).size(), 13u);  // row 10 too
  ASSERT_TRUE(p.Click(form.lblnochk));
  EXPECT_TRUE(TickedRows(form).empty());
  for (const ui::Label* label : form.rows.lbldoinfo) EXPECT_FALSE(label->Visible());

  for (ui::Label* label : {&form.lblchkall, &form.lblnochk}) {
    p.cursorsSet.clear();
    p.MouseMove(*label, 0);
    EXPECT_EQ(p.cursorsSet, std::vector<ui::CursorHandle>{ui::HeadlessPlatform::kHandCursor});
  }
}

TEST(ItemList, ScrollingMovesThePanel300TwipsAStep) {
  MainWindowFixture f;
  frmMain& form = *f.form;
  auto& p = f.platform;
  EXPECT_EQ(form.piclist.Top(), 0);
  ASSERT_TRUE(p.Scroll(form.vsroll, 3));
  EXPECT_EQ(form.piclist.Top(), -900);
  p.Scroll(form.vsroll, 9);  // beyond the range: stops at the maximum
  EXPECT_EQ(form.piclist.Top(), -1500);
  ASSERT_TRUE(p.Scroll(form.vsroll, 0));
  EXPECT_EQ(form.piclist.Top(), 0);

  // The product is taken wider than 16 bits: no wrap past 109 steps.
  EXPECT_EQ(ListScrollTop(110), -33000);
  EXPECT_EQ(ListScrollTop(32767), -9830100);
}

}  // namespace
}  // namespace orvane

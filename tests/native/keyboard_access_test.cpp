// Keys the end-to-end run does not press, and a red row as a screen reader reads it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/main_window_fixture.h"
#include "ui/toolkit/accessible.h"

namespace orvane {
namespace {

using ui::Key;

std::string Id(const ui::Widget* w) {
  if (w == nullptr) return "(none)";
  return w->Name() + (w->Index() >= 0 ? std::to_string(w->Index()) : "");
}

struct Fixture : testing::MainWindowFixture {
  frmMain& main = *form;
};

TEST(KeyboardAccess, MainWindowKeys) {
  struct Case {
    const char* what;
    std::vector<Key> keys;  // pressed with the first row focused
    std::function<void(Fixture&)> check;
  } cases[] = {
      {"End scrolls the last row into view", {Key::End},
       [](Fixture& f) {
         EXPECT_EQ(Id(f.main.Focused()), "chkdo13");
         EXPECT_EQ(f.main.vsroll.Value(), f.main.vsroll.Max());
       }},
      {"Down stops at the last row; Up scrolls back a step at a time",
       {Key::End, Key::Down, Key::Up, Key::Up, Key::Up, Key::Up, Key::Up, Key::Up, Key::Up, Key::Up, Key::Up},
       [](Fixture& f) {
         EXPECT_EQ(Id(f.main.Focused()), "chkdo4");
         EXPECT_EQ(f.main.vsroll.Value(), 5);  // row 4 (top 1770) just shows at 1500
       }},
      {"space on select all", std::vector<Key>{Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab,
                                               Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Space},
       [](Fixture& f) {
         EXPECT_EQ(Id(f.main.Focused()), "lblchkall");
         for (auto* box : f.main.rows.chkdo) EXPECT_TRUE(box->Checked());
       }},
      {"Esc does nothing in the main window", {Key::Escape},
       [](Fixture& f) { EXPECT_FALSE(f.platform.ended); EXPECT_FALSE(f.main.Closed()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.main.FocusFirst();
    for (Key k : c.keys) f.platform.PressKey(f.main, k);
    c.check(f);
  }
}

// The wheel anywhere over the list moves it; the keys open the check menu at
// the focused row, cut to the frame, and a right-click at the pointer.
TEST(KeyboardAccess, WheelAndCheckMenuPlace) {
  Fixture f;
  f.main.FocusFirst();
  f.main.rows.chkdo[4]->FireMouseWheel(-60);
  EXPECT_EQ(f.main.vsroll.Value(), 0) << "half a notch waits for the other half";
  f.main.rows.chkdo[4]->FireMouseWheel(-60 - 120 * 9);
  EXPECT_EQ(f.main.vsroll.Value(), f.main.vsroll.Max());
  EXPECT_FALSE(f.main.txtContent.FireMouseWheel(-120)) << "the about text scrolls itself";

  const ui::Rect frame = f.main.pleft.FormBounds();
  f.platform.PressKey(f.main, Key::F5);  // row 0 is scrolled out of the frame
  f.main.vsroll.FireMouseWheel(120 * 9);
  EXPECT_EQ(f.main.vsroll.Value(), 0);
  f.platform.PressKey(f.main, Key::Down);
  f.platform.PressKey(f.main, Key::Menu);
  f.platform.MouseDown(f.main.pleft, ui::kRightButton);
  f.platform.MouseUp(f.main.pleft, ui::kRightButton);
  ASSERT_EQ(f.platform.popupPlaces.size(), 3u);
  ASSERT_TRUE(f.platform.popupPlaces[0] && f.platform.popupPlaces[1]);
  EXPECT_EQ(f.platform.popupPlaces[0]->top + f.platform.popupPlaces[0]->height, frame.top);
  EXPECT_EQ(f.platform.popupPlaces[1]->top + f.platform.popupPlaces[1]->height,
            f.main.rows.chkdo[1]->FormBounds().top + f.main.rows.chkdo[1]->Height());
  EXPECT_FALSE(f.platform.popupPlaces[2]);
}

// Names, roles, states and the dialogs are read by a real client in the
// end-to-end scenario; here a red row's reason and a disabled button.
TEST(AccessibleTree, ResultsAreReadWithTheirReasonAndDisabledButtonsAreUnavailable) {
  Fixture f;
  f.main.FocusFirst();
  f.main.rows.chkdo[1]->SetChecked(true);
  f.platform.PressKey(f.main, Key::Enter);
  ui::Label& red = *f.main.rows.lbldoinfo[2];
  red.SetCaption("修复失败");
  red.SetToolTip("拒绝访问");
  red.SetVisible(true);
  f.main.ibtndo.SetEnabled(false);
  const std::vector<ui::AccNode> nodes = ui::AccessibleChildren(f.main);
  ASSERT_EQ(nodes.size(), 24u);
  EXPECT_EQ(nodes[2].description, "");
  EXPECT_EQ(nodes[3].description, "修复成功");
  EXPECT_EQ(nodes[4].description, "修复失败 拒绝访问");
  EXPECT_EQ(nodes[20].state, ui::kAccFocusable | ui::kAccUnavailable);
}

}  // namespace
}  // namespace orvane

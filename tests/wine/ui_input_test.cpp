// Mouse input where the end-to-end runs cannot see: queued input left for later
// by a paint pass, nothing for disabled or hidden widgets, and a widget that its
// own handler removes. Button sets and twips: the end-to-end and DPI tests.
#include <vector>

#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

class InputTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    if (IsSkipped()) return;
    form.Move({0, 0, 6000, 4500});
    button = &form.Add<Image>("ibtndo");
    button->Move({1500, 1500, 0, 0});
    button->SetPicture(101);  // 64 x 24 px at (100, 100)
    frame = &form.Add<Panel>("pleft");
    frame->Move({3000, 3000, 1500, 1500});  // (200, 200), 100 x 100 px
    Image& row = frame->Add<Image>("chk");
    row.Move({300, 300, 0, 0});
    row.SetPicture(108);  // 13 x 13 px at (220, 220)
    for (Widget* w : std::vector<Widget*>{&form, button, &row}) Record(*w);
    platform.Show(form);
    hwnd = Window(form);
    ASSERT_NE(hwnd, nullptr);
  }

  // Each event as "what:widget:buttons@x,y" in twips.
  void Record(Widget& w) {
    auto note = [this, name = w.Name()](const char* what) {
      return [this, name, what](const MouseEvent& e) {
        trace += std::string(what) + ":" + name + ":" + std::to_string(e.buttons) + "@" +
                 std::to_string(static_cast<int>(e.x)) + "," + std::to_string(static_cast<int>(e.y)) + " ";
      };
    };
    w.onMouseMove = note("move");
    w.onMouseDown = note("down");
    w.onMouseUp = note("up");
    w.onClick = [this, name = w.Name()] { trace += "click:" + name + " "; };
  }

  Form form{platform, "frmInput"};
  Image* button = nullptr;
  Panel* frame = nullptr;
  HWND hwnd = nullptr;
  std::string trace;
};

TEST_F(InputTest, PaintEventsLeaveQueuedInputForLater) {
  platform.DoEvents();
  trace.clear();
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(110, 110));
  PostMessageW(hwnd, WM_LBUTTONUP, 0, At(110, 110));
  InvalidateRect(hwnd, nullptr, FALSE);
  platform.DoPaintEvents();
  EXPECT_EQ(trace, "");
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE)) << "painted";
  platform.DoEvents();
  EXPECT_EQ(trace, "down:ibtndo:1@150,150 up:ibtndo:1@150,150 click:ibtndo ");
}

TEST_F(InputTest, DisabledOrHiddenWidgetsGetNothingAndHandlersMayRemoveThem) {
  button->SetEnabled(false);
  frame->SetEnabled(false);  // its child goes with it
  for (int at : {110, 225}) {
    Press(hwnd, at, at);
    Release(hwnd, at, at);
  }
  EXPECT_EQ(trace, "");

  button->SetEnabled(true);
  button->SetVisible(false);  // the background lies there now
  Press(hwnd, 110, 110);
  Release(hwnd, 110, 110);
  EXPECT_EQ(trace, "down:frmInput:1@1650,1650 up:frmInput:1@1650,1650 click:frmInput ");

  // A release that removes the very widget pressed must not touch it afterwards.
  trace.clear();
  button->SetVisible(true);
  button->onMouseUp = [this](const MouseEvent&) { form.Remove(*button); };
  Press(hwnd, 110, 110);
  Release(hwnd, 110, 110);
  EXPECT_EQ(form.Children().size(), 1u);
  EXPECT_EQ(trace, "down:ibtndo:1@150,150 ");
}

}  // namespace
}  // namespace orvane::ui::win32::testing

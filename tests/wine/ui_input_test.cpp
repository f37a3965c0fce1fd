// Mouse input reaches the widget under the pointer (or the one that holds the
// capture) with the model's button sets and coordinates in twips.
#include <vector>

#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

struct Seen {
  const char* what;
  std::string widget;
  int buttons;
  Twips x, y;
};

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
    row = &frame->Add<Image>("chk");
    row->Move({300, 300, 0, 0});
    row->SetPicture(108);  // 13 x 13 px at (220, 220)
    for (Widget* w : std::vector<Widget*>{&form, button, row}) Record(*w);
    platform.Show(form);
    hwnd = Window(form);
    ASSERT_NE(hwnd, nullptr);
  }

  void Record(Widget& w) {
    std::string name = w.Name();
    w.onMouseMove = [this, name](const MouseEvent& e) { seen.push_back({"move", name, e.buttons, e.x, e.y}); };
    w.onMouseDown = [this, name](const MouseEvent& e) { seen.push_back({"down", name, e.buttons, e.x, e.y}); };
    w.onMouseUp = [this, name](const MouseEvent& e) { seen.push_back({"up", name, e.buttons, e.x, e.y}); };
    w.onClick = [this, name] { seen.push_back({"click", name, 0, 0, 0}); };
  }

  std::string Trace() const {
    std::string out;
    for (const Seen& s : seen) out += std::string(s.what) + ":" + s.widget + ":" + std::to_string(s.buttons) + " ";
    return out;
  }

  Form form{platform, "frmInput"};
  Image* button = nullptr;
  Panel* frame = nullptr;
  Image* row = nullptr;
  HWND hwnd = nullptr;
  std::vector<Seen> seen;
};

TEST_F(InputTest, EventsReachTheWidgetUnderThePointerWithButtonSetsAndTwips) {
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, At(110, 105));
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(225, 221));  // inside the panel's child
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_MBUTTON, At(10, 12));
  ASSERT_EQ(seen.size(), 3u) << Trace();
  EXPECT_EQ(seen[0].widget, "ibtndo");
  EXPECT_EQ(seen[0].buttons, 3);
  EXPECT_FLOAT_EQ(seen[0].x, 10 * 15.0f);
  EXPECT_FLOAT_EQ(seen[0].y, 5 * 15.0f);
  EXPECT_EQ(seen[1].widget, "chk");
  EXPECT_FLOAT_EQ(seen[1].x, 5 * 15.0f);
  EXPECT_FLOAT_EQ(seen[1].y, 1 * 15.0f);
  EXPECT_EQ(seen[2].widget, "frmInput");  // the background
  EXPECT_EQ(seen[2].buttons, 4);
  EXPECT_FLOAT_EQ(seen[2].x, 150.0f);
}

TEST_F(InputTest, DownAndUpCarryTheChangedButtonAndLeftPressReleaseClicks) {
  Press(hwnd, 110, 110, WM_RBUTTONDOWN, MK_RBUTTON);
  Release(hwnd, 110, 110, WM_RBUTTONUP);
  Press(hwnd, 110, 110);
  // The right button goes down while the left is held: Down reports 2 only.
  Press(hwnd, 110, 110, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON);
  Release(hwnd, 110, 110, WM_RBUTTONUP, MK_LBUTTON);
  Release(hwnd, 110, 110);
  EXPECT_EQ(Trace(),
            "down:ibtndo:2 up:ibtndo:2 down:ibtndo:1 down:ibtndo:2 up:ibtndo:2 up:ibtndo:1 click:ibtndo:0 ");
}

TEST_F(InputTest, PressCapturesSoTheReleaseGoesBackToThePressedWidget) {
  Press(hwnd, 110, 110);
  EXPECT_EQ(GetCapture(), hwnd);
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, At(225, 225));  // over another widget
  Release(hwnd, 225, 225);
  EXPECT_EQ(GetCapture(), nullptr);
  // Outside the window entirely.
  Press(hwnd, 110, 110);
  Release(hwnd, -40, 900);
  ASSERT_EQ(seen.size(), 5u) << Trace();
  EXPECT_EQ(Trace(), "down:ibtndo:1 move:ibtndo:1 up:ibtndo:1 down:ibtndo:1 up:ibtndo:1 ");
  EXPECT_FLOAT_EQ(seen[2].x, (225 - 100) * 15.0f);
  EXPECT_FLOAT_EQ(seen[4].x, (-40 - 100) * 15.0f);
}

TEST_F(InputTest, DisabledAndHiddenWidgetsGetNothing) {
  button->SetEnabled(false);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(110, 110));
  Press(hwnd, 110, 110);
  Release(hwnd, 110, 110);
  frame->SetEnabled(false);  // its child goes with it
  Press(hwnd, 225, 225);
  Release(hwnd, 225, 225);
  EXPECT_EQ(Trace(), "");

  button->SetEnabled(true);
  button->SetVisible(false);  // the background lies there now
  Press(hwnd, 110, 110);
  Release(hwnd, 110, 110);
  EXPECT_EQ(Trace(), "down:frmInput:1 up:frmInput:1 click:frmInput:0 ");
}

TEST_F(InputTest, HandlersMayChangeTheTreeWhileHandlingInput) {
  // A click that removes the very widget clicked must not touch it afterwards.
  button->onMouseUp = [this](const MouseEvent&) { form.Remove(*button); };
  Press(hwnd, 110, 110);
  Release(hwnd, 110, 110);
  EXPECT_EQ(form.Children().size(), 1u);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(110, 110));
  EXPECT_EQ(Trace(), "down:ibtndo:1 move:frmInput:0 ");
}

TEST_F(InputTest, PointerIsTheArrowUnlessTheWidgetAsksForTheHand) {
  CursorHandle hand = platform.LoadHandCursor();
  EXPECT_NE(hand, 0u);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(hand), LoadCursorW(nullptr, IDC_HAND));

  RECT frameRect{};
  GetWindowRect(hwnd, &frameRect);
  SetCursorPos(frameRect.left + 110, frameRect.top + 110);
  SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  button->SetPointer(MousePointer::Hand);
  SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

  // A handler's SetCursor during the move that follows wins over the arrow.
  button->SetPointer(MousePointer::Default);
  button->onMouseMove = [&](const MouseEvent&) { platform.SetCursor(hand); };
  SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, At(110, 110));
  EXPECT_EQ(GetCursor(), reinterpret_cast<HCURSOR>(hand));
}

}  // namespace
}  // namespace orvane::ui::win32::testing

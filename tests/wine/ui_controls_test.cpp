// A scroll bar's thumb while it is dragged, which the end-to-end runs cannot do.
#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

class ControlsTest : public UiTest {
 protected:
  void Open() {
    form.Move({0, 0, 6000, 4500});
    platform.Show(form);
    hwnd = Window(form);
    ASSERT_NE(hwnd, nullptr);
  }
  HWND Native(const Widget& w) { return platform.PeerOf(form)->NativeOf(w); }

  Form form{platform, "frmControls"};
  HWND hwnd = nullptr;
};

TEST_F(ControlsTest, ScrollBarChangesOnStepsAndOnlyWhenTheThumbIsReleased) {
  ScrollBar& bar = form.Add<ScrollBar>("vsroll");
  bar.Move({5500, 0, 255, 3000});
  bar.SetMax(100);
  bar.SetSmallChange(3);
  bar.SetLargeChange(20);
  int changes = 0;
  bar.onChange = [&] { ++changes; };
  Open();
  HWND native = Native(bar);
  ASSERT_NE(native, nullptr);
  auto scroll = [&](int code, int pos = 0) {
    SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(native));
  };
  scroll(SB_PAGEDOWN);
  scroll(SB_LINEUP);
  EXPECT_EQ(bar.Value(), 17);
  scroll(SB_THUMBTRACK, 70);  // dragging: the thumb moves, the value stays
  EXPECT_EQ(bar.Value(), 17);
  EXPECT_EQ(GetScrollPos(native, SB_CTL), 70);
  scroll(SB_THUMBPOSITION, 70);
  EXPECT_EQ(bar.Value(), 70);
  EXPECT_EQ(changes, 3);
  bar.SetValue(10);  // code moves the thumb too
  EXPECT_EQ(GetScrollPos(native, SB_CTL), 10);
}

}  // namespace
}  // namespace orvane::ui::win32::testing

// Text boxes, scroll bars, check lists and focus as native controls of a form
// window.
#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

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

TEST_F(ControlsTest, TextBoxesEchoTheModelAndTabMovesFocus) {
  TextBox& search = form.Add<TextBox>("txtsearch");
  search.Move({240, 2400, 3000, 270});
  search.SetTabIndex(4);
  TextBox& home = form.Add<TextBox>("txthomepage");
  home.Move({240, 1200, 3000, 270});
  home.SetTabIndex(3);
  home.SetText("http://example.org");
  home.SetMaxLength(20);
  TextBox& about = form.Add<TextBox>("txtContent");
  about.Move({240, 3000, 3000, 900});
  about.SetTabIndex(5);
  about.SetMultiLine(true);
  about.SetLocked(true);
  about.SetVerticalScrollBar(true);
  about.SetText("\r\n第一段\r\n第二段");
  Open();

  HWND edit = Native(home);
  EXPECT_EQ(TextOf(edit), L"http://example.org");
  LONG aboutStyle = GetWindowLongW(Native(about), GWL_STYLE);
  EXPECT_EQ(aboutStyle & (ES_MULTILINE | ES_READONLY | WS_VSCROLL), ES_MULTILINE | ES_READONLY | WS_VSCROLL);
  EXPECT_EQ(TextOf(Native(about)), L"\r\n第一段\r\n第二段");
  // Typing updates the model; the model's own changes reach the control.
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  百度.com "));
  EXPECT_EQ(home.Text(), "  百度.com ");
  home.SetText("about:blank");
  EXPECT_EQ(TextOf(edit), L"about:blank");

  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 20);  // typing stops there

  EXPECT_EQ(GetFocus(), edit);  // first in tab order
  SendMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(form.Focused(), &search);
  EXPECT_EQ(GetFocus(), Native(search));
  SendMessageW(Native(search), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), Native(about));
  SendMessageW(Native(about), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), edit);  // wraps
}

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

  scroll(SB_LINEDOWN);
  scroll(SB_PAGEDOWN);
  scroll(SB_LINEUP);
  EXPECT_EQ(bar.Value(), 20);
  EXPECT_EQ(changes, 3);

  scroll(SB_THUMBTRACK, 70);  // dragging: the thumb moves, the value stays
  EXPECT_EQ(bar.Value(), 20);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(GetScrollPos(native, SB_CTL), 70);
  scroll(SB_THUMBPOSITION, 70);
  EXPECT_EQ(bar.Value(), 70);
  EXPECT_EQ(changes, 4);

  scroll(SB_PAGEDOWN);
  scroll(SB_PAGEDOWN);
  scroll(SB_PAGEDOWN);  // held at Max: no change the third time
  EXPECT_EQ(bar.Value(), 100);
  EXPECT_EQ(changes, 6);

  bar.SetValue(10);  // code moves the thumb too
  EXPECT_EQ(GetScrollPos(native, SB_CTL), 10);
}

TEST_F(ControlsTest, CheckListTogglesALineByClickOrSpace) {
  ListBox& list = form.Add<ListBox>("lstmenu");
  list.Move({120, 960, 5655, 1950});
  list.AddItem("添加到百度");
  list.AddItem("E&xport");
  Open();
  HWND native = Native(list);
  ASSERT_NE(native, nullptr);
  auto click = [&](LPARAM at) {
    SendMessageW(native, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(native, WM_LBUTTONUP, 0, at);
  };

  RECT line{};
  SendMessageW(native, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&line));
  click(At(line.left + 30, (line.top + line.bottom) / 2));
  EXPECT_TRUE(list.Selected(1));
  EXPECT_FALSE(list.Selected(0));
  click(At(line.left + 30, (line.top + line.bottom) / 2));
  EXPECT_FALSE(list.Selected(1));
  click(At(line.left + 30, line.bottom + 20));  // below the last line
  EXPECT_EQ(list.SelCount(), 0);

  SendMessageW(native, LB_SETCURSEL, 0, 0);
  SendMessageW(native, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(list.Selected(0));

}

}  // namespace
}  // namespace orvane::ui::win32::testing

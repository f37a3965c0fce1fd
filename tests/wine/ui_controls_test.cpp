// Text boxes, scroll bars, check lists, timers, tool tips and focus as native
// controls of a form window.
#include "ui_fixture.h"

#include <commctrl.h>

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

TEST_F(ControlsTest, TextBoxesEchoTheModelAndReportTyping) {
  TextBox& page = form.Add<TextBox>("txthomepage");
  page.Move({240, 1200, 5415, 270});
  page.SetText("http://example.org");
  TextBox& about = form.Add<TextBox>("txtContent");
  about.Move({240, 1800, 3000, 1500});
  about.SetMultiLine(true);
  about.SetLocked(true);
  about.SetVerticalScrollBar(true);
  about.SetText("\r\n第一段\r\n第二段");
  Open();

  HWND edit = Native(page);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(TextOf(edit), L"http://example.org");
  LONG style = GetWindowLongW(edit, GWL_STYLE);
  EXPECT_EQ(style & ES_MULTILINE, 0);
  EXPECT_NE(style & ES_AUTOHSCROLL, 0);
  LONG aboutStyle = GetWindowLongW(Native(about), GWL_STYLE);
  EXPECT_NE(aboutStyle & ES_MULTILINE, 0);
  EXPECT_NE(aboutStyle & ES_READONLY, 0);
  EXPECT_NE(aboutStyle & WS_VSCROLL, 0);
  EXPECT_EQ(TextOf(Native(about)), L"\r\n第一段\r\n第二段");
  RECT r{};
  GetWindowRect(edit, &r);
  EXPECT_EQ(r.right - r.left, platform.ToPixels(5415));

  // Typing updates the model; the model's own changes reach the control.
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  百度.com "));
  EXPECT_EQ(page.Text(), "  百度.com ");
  page.SetText("about:blank");
  EXPECT_EQ(TextOf(edit), L"about:blank");
  EXPECT_EQ(page.Text(), "about:blank");
}

TEST_F(ControlsTest, FocusStartsAtTheFirstInTabOrderAndTabMovesOn) {
  Label& title = form.Add<Label>("lbltitle");
  title.SetTabIndex(0);
  TextBox& second = form.Add<TextBox>("txtsearch");
  second.Move({240, 2400, 3000, 270});
  second.SetTabIndex(4);
  TextBox& first = form.Add<TextBox>("txthomepage");
  first.Move({240, 1200, 3000, 270});
  first.SetTabIndex(3);
  Open();
  EXPECT_EQ(form.Focused(), &first);
  EXPECT_EQ(GetFocus(), Native(first));

  SendMessageW(Native(first), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(form.Focused(), &second);
  EXPECT_EQ(GetFocus(), Native(second));
  SendMessageW(Native(second), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), Native(first));

  // Clicking into a box moves the model's focus with it.
  SetFocus(Native(second));
  EXPECT_EQ(form.Focused(), &second);
}

TEST_F(ControlsTest, ScrollBarChangesValueByStepsAndOnlyWhenTheThumbIsReleased) {
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
  EXPECT_EQ(bar.Value(), 3);
  scroll(SB_PAGEDOWN);
  EXPECT_EQ(bar.Value(), 23);
  scroll(SB_LINEUP);
  EXPECT_EQ(bar.Value(), 20);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(GetScrollPos(native, SB_CTL), 20);

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
  bar.SetMax(5);
  int low = -1, high = -1;
  GetScrollRange(native, SB_CTL, &low, &high);
  EXPECT_EQ(high, 5);
  EXPECT_EQ(GetScrollPos(native, SB_CTL), 5);
}

TEST_F(ControlsTest, CheckListTogglesALineByClickOrSpace) {
  ListBox& list = form.Add<ListBox>("lstmenu");
  list.Move({120, 960, 5655, 1950});
  Font song;
  song.sizePt = 10.5f;
  list.SetFont(song);
  list.AddItem("添加到百度");
  list.AddItem("E&xport");
  Open();
  HWND native = Native(list);
  ASSERT_NE(native, nullptr);
  EXPECT_NE(GetWindowLongW(native, GWL_STYLE) & LBS_OWNERDRAWFIXED, 0);
  ASSERT_EQ(SendMessageW(native, LB_GETCOUNT, 0, 0), 2);

  RECT line{};
  SendMessageW(native, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&line));
  LPARAM onLine1 = At(line.left + 30, (line.top + line.bottom) / 2);
  SendMessageW(native, WM_LBUTTONDOWN, MK_LBUTTON, onLine1);
  SendMessageW(native, WM_LBUTTONUP, 0, onLine1);
  EXPECT_TRUE(list.Selected(1));
  EXPECT_FALSE(list.Selected(0));
  SendMessageW(native, WM_LBUTTONDOWN, MK_LBUTTON, onLine1);
  SendMessageW(native, WM_LBUTTONUP, 0, onLine1);
  EXPECT_FALSE(list.Selected(1));

  // Below the last line is no line at all.
  LPARAM below = At(line.left + 30, line.bottom + 20);
  SendMessageW(native, WM_LBUTTONDOWN, MK_LBUTTON, below);
  SendMessageW(native, WM_LBUTTONUP, 0, below);
  EXPECT_EQ(list.SelCount(), 0);

  SendMessageW(native, LB_SETCURSEL, 0, 0);
  SendMessageW(native, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(list.Selected(0));

  // A refill starts unticked and shows the new lines.
  list.Clear();
  list.AddItem("只一行");
  EXPECT_EQ(SendMessageW(native, LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(list.SelCount(), 0);
}

TEST_F(ControlsTest, TimersTickWhileEnabled) {
  Timer& timer = form.Add<Timer>("Timer1");
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  timer.SetInterval(10);
  Open();
  auto pump = [&](DWORD ms) {
    DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
      platform.DoEvents();
      Sleep(5);
    }
  };
  pump(100);
  EXPECT_EQ(ticks, 0);
  timer.SetTimerEnabled(true);
  pump(300);
  EXPECT_GT(ticks, 2);
  timer.SetTimerEnabled(false);
  platform.DoEvents();
  int stopped = ticks;
  pump(100);
  EXPECT_EQ(ticks, stopped);
}

TEST_F(ControlsTest, WidgetsAddedOrRemovedLaterGetOrLoseTheirPeers) {
  Image& close = form.Add<Image>("iclose");
  close.SetToolTip("关闭");
  Open();
  HWND tips = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM found) {
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(found) = w;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tips));
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 1);

  Panel& panel = form.Add<Panel>("late");
  TextBox& box = panel.Add<TextBox>("txt");
  box.Move({0, 0, 1500, 300});
  box.SetToolTip("输入");
  HWND native = Native(box);
  ASSERT_NE(native, nullptr);
  EXPECT_TRUE(IsWindowVisible(native));
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 2);
  // Hidden with its container, moved with it.
  panel.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(native));
  panel.SetVisible(true);
  panel.Move({1500, 750, 3000, 3000});
  RECT r{};
  GetWindowRect(native, &r);
  POINT corner{r.left, r.top};
  ScreenToClient(hwnd, &corner);
  EXPECT_EQ(corner.x, 100);
  EXPECT_EQ(corner.y, 50);

  form.Remove(panel);
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
  close.SetToolTip("");
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 0);
}

}  // namespace
}  // namespace orvane::ui::win32::testing

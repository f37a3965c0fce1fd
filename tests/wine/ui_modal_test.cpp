// Modal forms: the rest of the program waits, and comes back when they close;
// a window that cannot be created is reported and waited for by nobody.
#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

TEST_F(UiTest, ModalFormDisablesTheOthersUntilItCloses) {
  Form main(platform, "frmMain");
  main.Move({0, 0, 8895, 6195});
  platform.Show(main);
  HWND mainWindow = Window(main);
  ASSERT_NE(mainWindow, nullptr);

  Form dialog(platform, "setFrm");
  dialog.Move({0, 0, 5895, 3855});
  dialog.SetPosition(StartPosition::CenterOwner);
  Timer& probe = dialog.Add<Timer>("probe");
  probe.SetInterval(20);
  probe.SetTimerEnabled(true);
  bool mainEnabledInside = true;
  HWND dialogWindow = nullptr;
  RECT mainRect{}, dialogRect{};
  probe.onTimer = [&] {
    dialogWindow = Window(dialog);
    mainEnabledInside = IsWindowEnabled(mainWindow) != FALSE;
    GetWindowRect(mainWindow, &mainRect);
    GetWindowRect(dialogWindow, &dialogRect);
    dialog.Close();
  };

  platform.ShowModal(dialog, nullptr);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (mainRect.left + mainRect.right) / 2, 1);
  EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (mainRect.top + mainRect.bottom) / 2, 1);
  // Back: the main window takes input again and the dialog's window is gone.
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
  EXPECT_FALSE(IsWindow(dialogWindow));

}

LRESULT CALLBACK RefuseWindows(int code, WPARAM wp, LPARAM lp) {
  return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(UiTest, AWindowThatCannotBeCreatedIsReportedAndNothingWaitsForIt) {
  int failures = 0;
  platform.onWindowFailed = [&] { ++failures; };
  struct Hook {
    HHOOK h = SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    ~Hook() { UnhookWindowsHookEx(h); }
  } refuse;
  ASSERT_NE(refuse.h, nullptr);

  Form main(platform, "frmMain");
  main.Move({0, 0, 8895, 6195});
  platform.Show(main);
  ASSERT_EQ(Window(main), nullptr);
  EXPECT_TRUE(main.Closed());
  EXPECT_EQ(platform.RunMessageLoop(), 0);  // returns: no window to wait for

  Form dialog(platform, "setFrm");
  dialog.Move({0, 0, 5895, 3855});
  platform.ShowModal(dialog, nullptr);  // returns at once
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(failures, 2);
}

}  // namespace
}  // namespace orvane::ui::win32::testing

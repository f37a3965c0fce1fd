// Modal forms and message boxes: the rest of the program waits, and comes
// back when they close.
#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

TEST_F(UiTest, ModalFormDisablesTheOthersUntilItCloses) {
  Form main(platform, "frmMain");
  main.Move({0, 0, 8895, 6195});
  Image& settings = main.Add<Image>("imin");
  settings.SetPicture(205);
  int clicks = 0;
  settings.onClick = [&] { ++clicks; };
  platform.Show(main);
  HWND mainWindow = Window(main);
  ASSERT_NE(mainWindow, nullptr);

  Form dialog(platform, "setFrm");
  dialog.Move({0, 0, 5895, 3855});
  dialog.SetPosition(StartPosition::CenterOwner);
  int loads = 0;
  dialog.onLoad = [&] { ++loads; };
  Timer& probe = dialog.Add<Timer>("probe");
  probe.SetInterval(20);
  probe.SetTimerEnabled(true);
  bool mainEnabledInside = true;
  bool dialogEnabledInside = false;
  HWND dialogWindow = nullptr;
  RECT mainRect{}, dialogRect{};
  probe.onTimer = [&] {
    dialogWindow = Window(dialog);
    mainEnabledInside = IsWindowEnabled(mainWindow) != FALSE;
    dialogEnabledInside = IsWindowEnabled(dialogWindow) != FALSE;
    GetWindowRect(mainWindow, &mainRect);
    GetWindowRect(dialogWindow, &dialogRect);
    // Input for the main window is dropped meanwhile.
    Press(mainWindow, 5, 5);
    Release(mainWindow, 5, 5);
    dialog.Close();
  };

  platform.ShowModal(dialog, nullptr);
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_TRUE(dialogEnabledInside);
  EXPECT_EQ(clicks, 0);
  // Centred over the main window.
  EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (mainRect.left + mainRect.right) / 2, 1);
  EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (mainRect.top + mainRect.bottom) / 2, 1);
  // Back: the main window takes input again and the dialog's window is gone.
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
  EXPECT_FALSE(IsWindow(dialogWindow));
  EXPECT_EQ(platform.PeerOf(dialog), nullptr);
  Press(mainWindow, 5, 5);
  Release(mainWindow, 5, 5);
  EXPECT_EQ(clicks, 1);
}

TEST_F(UiTest, ModalFormThatClosesInItsLoadIsNeverShown) {
  Form dialog(platform, "frmMenu");
  dialog.onLoad = [&] { dialog.Close(); };
  platform.ShowModal(dialog, nullptr);
  EXPECT_EQ(platform.PeerOf(dialog), nullptr);
}

TEST_F(UiTest, MessageLoopRunsUntilTheLastFormHasClosed) {
  Form main(platform, "frmMain");
  Timer& timer = main.Add<Timer>("Timer1");
  int ticks = 0;
  timer.onTimer = [&] {
    // The system's close request unloads the form.
    if (++ticks == 3) PostMessageW(Window(main), WM_CLOSE, 0, 0);
  };
  timer.SetInterval(10);
  timer.SetTimerEnabled(true);
  platform.Show(main);
  HWND hwnd = Window(main);
  EXPECT_EQ(platform.RunMessageLoop(), 0);
  EXPECT_GE(ticks, 3);
  EXPECT_TRUE(main.Closed());
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(platform.PeerOf(main), nullptr);
}

struct BoxSeen {
  std::wstring caption, text;
  HWND owner = nullptr;
  bool icon = false;
};
BoxSeen g_box;

// Runs inside the message box's own loop: read it, then press OK.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindWindowW(L"#32770", nullptr);
  if (box == nullptr) return;
  KillTimer(nullptr, id);
  wchar_t buffer[256] = {};
  GetWindowTextW(box, buffer, 256);
  g_box.caption = buffer;
  GetDlgItemTextW(box, 0xFFFF, buffer, 256);
  g_box.text = buffer;
  g_box.owner = GetWindow(box, GW_OWNER);
  // The icon control is 0x14 on Windows and 0x440 on Wine.
  for (int id : {0x14, 0x440}) {
    HWND icon = GetDlgItem(box, id);
    g_box.icon = g_box.icon || (icon != nullptr && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0);
  }
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(UiTest, MessageBoxBelongsToTheActiveFormAndShowsTextCaptionAndIcon) {
  Form main(platform, "frmMenu");
  main.Move({0, 0, 5895, 3855});
  platform.Show(main);
  for (MessageBoxIcon icon : {MessageBoxIcon::None, MessageBoxIcon::Information}) {
    g_box = {};
    SetTimer(nullptr, 0, 50, AnswerBox);
    platform.MessageBox("至少需要选中一项才能进行清理", "系统修复", icon);
    EXPECT_EQ(g_box.caption, L"系统修复");
    EXPECT_EQ(g_box.text, L"至少需要选中一项才能进行清理");
    EXPECT_EQ(g_box.owner, Window(main));
    EXPECT_EQ(g_box.icon, icon == MessageBoxIcon::Information);
  }
}

}  // namespace
}  // namespace orvane::ui::win32::testing

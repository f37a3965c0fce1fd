// Orvane: the start window and its message loop.
#include <windows.h>

#include <cwchar>

#include "app/frm_main.h"
#include "browsers/win32/shell_links.h"
#include "platform/win32/command_runner_win32.h"
#include "platform/win32/file_store_win32.h"
#include "platform/win32/interactive_user.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "settings/app_services.h"
#include "settings/config_file.h"
#include "settings/win32/config_file_win32.h"
#include "ui/win32/form_window.h"
#include "ui/win32/win32_platform.h"

namespace {

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM found) {
  wchar_t name[32] = {};
  ::GetClassNameW(hwnd, name, 32);
  if (wcscmp(name, orvane::ui::win32::kFormClass) != 0 || ::GetWindow(hwnd, GW_OWNER) != nullptr) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// Shows the running copy's window (its open dialog, if any) in front. False
// when no window of ours answered within two seconds: then whoever holds the
// name is no copy of Orvane.
bool BringRunningCopyToFront() {
  HWND main = nullptr;
  for (int attempt = 0; attempt < 20 && main == nullptr; ++attempt) {
    ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&main));
    if (main == nullptr) ::Sleep(100);  // it may be starting up itself
  }
  if (main == nullptr ||
      !::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr)) {
    return false;
  }
  if (::IsIconic(main)) ::ShowWindow(main, SW_RESTORE);
  ::SetForegroundWindow(::GetLastActivePopup(main));
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace orvane;
  LoadLibrariesFromSystemOnly();
  // One copy at a time: two in lock mode would fight over the same values.
  ::SetLastError(ERROR_SUCCESS);
  UniqueKernelHandle instance(::CreateMutexW(nullptr, FALSE, L"Local\\Orvane.Running"));
  const DWORD error = ::GetLastError();
  // Access denied: a copy running elevated holds it. Any process may take the
  // name first, so it only stops this copy when a running one shows itself.
  if ((error == ERROR_ALREADY_EXISTS || (!instance && error == ERROR_ACCESS_DENIED)) &&
      BringRunningCopyToFront()) {
    return 0;
  }
  // The current user's repairs go to the person at the keyboard, also when
  // the program was elevated with another account's password.
  Win32Registry registry(InteractiveUserHive());
  Win32CommandRunner commands;
  WindowsConfigFiles configFiles;
  Win32FileStore files;
  AppConfig config;
  ui::win32::Win32Platform platform;
  AppServices services{platform, registry, commands, config,
                       [&configFiles](AppConfig& c) { ReadConfig(configFiles, c); },
                       [&configFiles](const AppConfig& c) { return WriteConfig(configFiles, c); }};
  services.files = &files;
  services.interactiveSid = Narrow(OtherInteractiveUserSid());
  Win32ShortcutStore shortcuts;
  services.shortcuts = &shortcuts;
  frmMain mainWindow(services);
  platform.Show(mainWindow);
  return platform.RunMessageLoop();
}

// Orvane: the start window and its message loop.
#include <windows.h>

#include <cwchar>

#include "app/frm_main.h"
#include "browsers/win32/shell_links.h"
#include "platform/win32/command_runner_win32.h"
#include "platform/win32/file_store_win32.h"
#include "platform/win32/interactive_user.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/unique_handle.h"
#include "settings/app_services.h"
#include "settings/config_file.h"
#include "settings/win32/config_file_win32.h"
#include "ui/win32/form_window.h"
#include "ui/win32/win32_platform.h"

namespace {

// Libraries loaded from now on come from the system folder only, never from
// the program's or the current folder. Looked up: older systems lack it.
void LoadLibrariesFromSystemOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto set = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryW(L"");  // takes the current folder out of the search where that is missing
}

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM found) {
  wchar_t name[32] = {};
  ::GetClassNameW(hwnd, name, 32);
  if (wcscmp(name, orvane::ui::win32::kFormClass) != 0 || ::GetWindow(hwnd, GW_OWNER) != nullptr) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// Shows the running copy's window (its open dialog, if any) in front.
void BringRunningCopyToFront() {
  HWND main = nullptr;
  for (int attempt = 0; attempt < 20 && main == nullptr; ++attempt) {
    ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&main));
    if (main == nullptr) ::Sleep(100);  // it may be starting up itself
  }
  if (main == nullptr) return;
  if (::IsIconic(main)) ::ShowWindow(main, SW_RESTORE);
  ::SetForegroundWindow(::GetLastActivePopup(main));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace orvane;
  LoadLibrariesFromSystemOnly();
  // One copy at a time: two in lock mode would fight over the same values.
  ::SetLastError(ERROR_SUCCESS);
  UniqueKernelHandle instance(::CreateMutexW(nullptr, FALSE, L"Local\\Orvane.Running"));
  const DWORD error = ::GetLastError();
  // Access denied: a copy running elevated holds it.
  if (error == ERROR_ALREADY_EXISTS || (!instance && error == ERROR_ACCESS_DENIED)) {
    BringRunningCopyToFront();
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
                       [&configFiles](const AppConfig& c) { WriteConfig(configFiles, c); }};
  services.files = &files;
  Win32ShortcutStore shortcuts;
  services.shortcuts = &shortcuts;
  frmMain mainWindow(services);
  platform.Show(mainWindow);
  return platform.RunMessageLoop();
}

// Orvane: the start window and its message loop.
#include <windows.h>

#include "app/frm_main.h"
#include "platform/win32/command_runner_win32.h"
#include "platform/win32/file_store_win32.h"
#include "platform/win32/registry_win32.h"
#include "settings/app_services.h"
#include "settings/config_file.h"
#include "settings/win32/config_file_win32.h"
#include "ui/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace orvane;
  Win32Registry registry;
  Win32CommandRunner commands;
  WindowsConfigFiles configFiles;
  Win32FileStore files;
  AppConfig config;
  ui::win32::Win32Platform platform;
  AppServices services{platform, registry, commands, config,
                       [&configFiles](AppConfig& c) { ReadConfig(configFiles, c); },
                       [&configFiles](const AppConfig& c) { WriteConfig(configFiles, c); }};
  services.files = &files;
  frmMain mainWindow(services);
  platform.Show(mainWindow);
  return platform.RunMessageLoop();
}

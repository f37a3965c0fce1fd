#pragma once
// What the program's windows share for the whole run.
#include <functional>

#include "platform/command_runner.h"
#include "platform/file_store.h"
#include "platform/registry.h"
#include "settings/app_config.h"
#include "settings/config_file.h"
#include "ui/toolkit/platform.h"

namespace orvane {

class ShortcutStore;

struct AppServices {
  ui::UiPlatform& platform;
  RegistryService& registry;
  CommandRunner& commands;
  AppConfig& config;
  std::function<void(AppConfig&)> readConfig;         // fills the record from Config.ini
  // Saves the record to Config.ini: the file's path and 0, or the error that kept it.
  std::function<ConfigSave(const AppConfig&)> writeConfig;
  ui::CursorHandle handCursor = 0;                    // set first thing by the main window's load
  FileStore* files = nullptr;  // backups and logs; none: button runs keep neither
  ShortcutStore* shortcuts = nullptr;  // the browsers' shortcuts; none: the browser row finds none
  std::string version = {};    // written into the logs
  std::string interactiveSid = {};  // the person at the keyboard, when this process runs as another account
};

}  // namespace orvane

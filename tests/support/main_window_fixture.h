#pragma once
// The main window loaded on the headless platform, with an in-memory
// registry and files and recorded commands.
#include <memory>
#include <string>

#include "platform/memory_registry.h"
#include "support/memory_files.h"
#include "support/memory_shortcuts.h"
#include "support/recording_commands.h"
#include "app/frm_main.h"
#include "ui/toolkit/headless.h"

namespace orvane::testing {

struct MainWindowFixture {
  explicit MainWindowFixture(float twipsPerPixel = 15.0f)
      : platform(twipsPerPixel),
        services{platform, registry, commands, config,
                 [this](AppConfig& c) { c = stored; },
                 [this](const AppConfig& c) { stored = c; return ConfigSave{}; }} {
    services.files = &files;
    services.shortcuts = &shortcuts;
    form = std::make_unique<frmMain>(services);
    platform.Show(*form);
  }

  ui::HeadlessPlatform platform;
  MemoryRegistry registry;
  RecordingCommandRunner commands;
  MemoryFiles files;
  MemoryShortcuts shortcuts;
  AppConfig config;
  AppConfig stored{"http://start.example.org", "http://search.example.org"};
  AppServices services;
  std::unique_ptr<frmMain> form;
};

}  // namespace orvane::testing

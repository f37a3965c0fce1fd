#pragma once
// The main window loaded on the headless platform, with an in-memory
// registry and recorded commands.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory_registry.h"
#include "support/recording_commands.h"
#include "app/frm_main.h"
#include "ui/toolkit/headless.h"

namespace orvane::testing {

// Every change a form reports, in order: "<name>[index] <change>".
class RecordingPeer : public ui::FormPeer {
 public:
  void Changed(ui::Widget& widget, ui::Change what) override {
    events.push_back({&widget, what});
  }
  // Position of the first event on `widget` of kind `what`, or -1.
  int First(const ui::Widget& widget, ui::Change what) const {
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (events[i].first == &widget && events[i].second == what) return static_cast<int>(i);
    }
    return -1;
  }
  std::vector<std::pair<const ui::Widget*, ui::Change>> events;
};

struct MainWindowFixture {
  explicit MainWindowFixture(float twipsPerPixel = 15.0f, bool load = true)
      : platform(twipsPerPixel),
        services{platform, registry, commands, config,
                 [this](AppConfig& c) {
                   ++configReads;
                   c = stored;
                 },
                 [this](const AppConfig& c) { stored = c; }} {
    form = std::make_unique<frmMain>(services);
    if (load) platform.Show(*form);
  }

  ui::HeadlessPlatform platform;
  MemoryRegistry registry;
  RecordingCommandRunner commands;
  AppConfig config;
  AppConfig stored{"http://start.example.org", "http://search.example.org"};
  int configReads = 0;
  AppServices services;
  std::unique_ptr<frmMain> form;
};

}  // namespace orvane::testing

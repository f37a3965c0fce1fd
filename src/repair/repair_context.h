#pragma once
// What a repair routine works with.
#include <vector>

#include "platform/command_runner.h"
#include "platform/registry.h"
#include "settings/app_config.h"

namespace orvane {

struct RepairContext {
  RegistryService& registry;
  CommandRunner& commands;
  const AppConfig& config;
  std::vector<StartedProcess>* started = nullptr;  // collects the processes a routine starts
};

}  // namespace orvane

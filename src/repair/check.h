#pragma once
// The check reader: compares the registry with what each step of an item would
// leave behind, reading only.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "repair/steps.h"

namespace orvane {

enum class StepState {
  Intact,
  Differs,     // `found` holds what is there instead (nullopt: absent)
  Unreadable,  // `code` is the Windows error
  NotChecked,  // a command: its effect cannot be read back
};

struct StepCheck {
  StepState state = StepState::NotChecked;
  std::optional<RegValue> found;       // SetValue / DeleteValue: the value found
  std::vector<std::string> subkeys;    // DeleteSubkey / ShellVerbs: the keys found
  long code = 0;
};

// One step against the registry as it is now. A key that only holds deletions
// is intact when absent: there is nothing in it to delete.
StepCheck CheckStep(RegistryService& registry, std::span<const StepTarget> targets,
                    std::size_t index);

enum class ItemState { Intact, Damaged, Unknown };

struct ItemCheck {
  ItemState state = ItemState::Intact;
  std::vector<StepTarget> targets;
  std::vector<StepCheck> steps;  // one per target
  bool commandsNotChecked = false;  // the item's registrations were not checked
  // The first step that differs or could not be read.
  std::optional<std::size_t> FirstProblem() const;
};

// Damaged when any step differs; otherwise unknown when any could not be read.
ItemCheck CheckSteps(std::span<const Step> steps, RegistryService& registry,
                     const AppConfig& config);
// The same for steps already made concrete (one user's share of an item).
ItemCheck CheckTargets(std::vector<StepTarget> targets, RegistryService& registry);

}  // namespace orvane

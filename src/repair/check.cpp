#include "repair/check.h"

#include "repair/key_tree.h"

namespace orvane {
namespace {

bool Absent(long code) { return code == regerr::kFileNotFound; }

StepCheck Checked(StepState state, std::optional<RegValue> found = std::nullopt) {
  StepCheck check;
  check.state = state;
  check.found = std::move(found);
  return check;
}

StepCheck Unreadable(long code) {
  StepCheck check = Checked(StepState::Unreadable);
  check.code = code;
  return check;
}

// Whether the key that targets[index] opens must exist: a value is written
// into it, or nothing at all is done in it (the key is the step).
bool KeyMustExist(std::span<const StepTarget> targets, std::size_t index) {
  std::size_t i = index + 1;
  for (; i < targets.size() && targets[i].hasKey && targets[i].kind != StepKind::Key; ++i) {
    if (targets[i].kind == StepKind::SetValue) return true;
  }
  return i == index + 1;
}

StepCheck CheckKey(RegistryService& registry, std::span<const StepTarget> targets, std::size_t index) {
  RegKey key(registry);
  long code = key.Open(targets[index].root, targets[index].path, kKeyRead, targets[index].view);
  if (code == regerr::kSuccess) return Checked(StepState::Intact);
  if (!Absent(code)) return Unreadable(code);
  return Checked(KeyMustExist(targets, index) ? StepState::Differs : StepState::Intact);
}

StepCheck CheckValue(RegistryService& registry, const StepTarget& target) {
  const bool set = target.kind == StepKind::SetValue;
  RegKey key(registry);
  long code = key.Open(target.root, target.path, kKeyRead, target.view);
  if (Absent(code)) return Checked(set ? StepState::Differs : StepState::Intact);
  if (code != regerr::kSuccess) return Unreadable(code);
  RegValue found;
  code = registry.QueryValue(key.Get(), target.name, found);
  if (Absent(code)) return Checked(set ? StepState::Differs : StepState::Intact);
  if (code != regerr::kSuccess) return Unreadable(code);
  const bool intact = set && found == target.value;
  return Checked(intact ? StepState::Intact : StepState::Differs, std::move(found));
}

// Lists the subkeys of `path` (DeleteSubkey: the subkey itself).
StepCheck CheckSubtree(RegistryService& registry, RegRoot root, const std::string& path, bool itself) {
  std::vector<TreeKey> tree;
  long code = ReadKeyTree(registry, root, path, tree);
  if (Absent(code)) return Checked(StepState::Intact);
  if (code != regerr::kSuccess) return Unreadable(code);
  StepCheck check = Checked(StepState::Intact);
  for (std::size_t i = itself ? 0 : 1; i < tree.size(); ++i) check.subkeys.push_back(tree[i].path);
  if (!check.subkeys.empty()) check.state = StepState::Differs;
  return check;
}

// A link to the same target is intact; anything else there differs.
StepCheck CheckLink(RegistryService& registry, const StepTarget& target) {
  RegKey key(registry);
  long code = key.OpenAsLink(target.root, target.path, kKeyRead, target.view);
  if (Absent(code)) return Checked(StepState::Differs);
  if (code != regerr::kSuccess) return Unreadable(code);
  std::string found;
  code = LinkTarget(registry, key.Get(), found);
  if (code == regerr::kSuccess && found == target.value.AsLinkTarget()) return Checked(StepState::Intact);
  if (code != regerr::kSuccess && !Absent(code)) return Unreadable(code);
  return Checked(StepState::Differs, code == regerr::kSuccess ? std::optional(RegValue::Link(found)) : std::nullopt);
}

}  // namespace

StepCheck CheckStep(RegistryService& registry, std::span<const StepTarget> targets, std::size_t index) {
  const StepTarget& target = targets[index];
  switch (target.kind) {
    case StepKind::Key: return CheckKey(registry, targets, index);
    case StepKind::SetValue:
    case StepKind::DeleteValue:
      if (!target.hasKey) return Unreadable(regerr::kInvalidHandle);
      if (target.unsafePage) return Unreadable(regerr::kInvalidData);  // nothing to compare with
      return CheckValue(registry, target);
    case StepKind::DeleteSubkey:
      if (!target.hasKey) return Unreadable(regerr::kInvalidHandle);
      return CheckSubtree(registry, target.root,
                          target.path.empty() ? target.name : target.path + "\\" + target.name, true);
    case StepKind::ShellVerbs: return CheckSubtree(registry, target.root, target.path, false);
    case StepKind::DeleteTree: return CheckSubtree(registry, target.root, target.path, true);
    case StepKind::Link: return CheckLink(registry, target);
    case StepKind::Command: break;
  }
  return Checked(StepState::NotChecked);
}

std::optional<std::size_t> ItemCheck::FirstProblem() const {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].state == StepState::Differs || steps[i].state == StepState::Unreadable) return i;
  }
  return std::nullopt;
}

ItemCheck CheckSteps(std::span<const Step> steps, RegistryService& registry, const AppConfig& config) {
  return CheckTargets(ResolveSteps(steps, config), registry);
}

ItemCheck CheckTargets(std::vector<StepTarget> targets, RegistryService& registry) {
  ItemCheck item;
  item.targets = std::move(targets);
  bool unreadable = false, differs = false;
  for (std::size_t i = 0; i < item.targets.size(); ++i) {
    item.steps.push_back(CheckStep(registry, item.targets, i));
    const StepState state = item.steps.back().state;
    differs = differs || state == StepState::Differs;
    unreadable = unreadable || state == StepState::Unreadable;
    item.commandsNotChecked = item.commandsNotChecked || state == StepState::NotChecked;
  }
  item.state = differs ? ItemState::Damaged : unreadable ? ItemState::Unknown : ItemState::Intact;
  return item;
}

}  // namespace orvane

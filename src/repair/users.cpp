#include "repair/users.h"

#include <algorithm>

#include "platform/text.h"

namespace orvane {

bool IsUserHiveName(std::string_view name) {
  for (std::string_view prefix : {"S-1-5-21-", "S-1-12-1-"}) {
    if (name.size() > prefix.size() && StartsWithNoCase(name, prefix)) {
      const std::string_view rest = name.substr(prefix.size());
      return std::all_of(rest.begin(), rest.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
    }
  }
  return false;
}

std::vector<std::string> LoadedUserHives(RegistryService& registry, long* code) {
  std::vector<std::string> users;
  RegKey root(registry);
  long result = root.Open(RegRoot::Users, "", kKeyRead);
  RegKeyInfo info;
  if (result == regerr::kSuccess) result = registry.QueryInfoKey(root.Get(), info);
  for (std::uint32_t i = 0; result == regerr::kSuccess && i < info.subkeys; ++i) {
    std::string name;
    if (registry.EnumKey(root.Get(), i, info.maxSubkeyLen + 1, name) == regerr::kSuccess && IsUserHiveName(name)) {
      users.push_back(std::move(name));
    }
  }
  if (code) *code = result;
  return users;
}

bool IsPerUser(const StepTarget& target) {
  return target.kind != StepKind::Command && target.root == RegRoot::CurrentUser;
}

std::vector<StepTarget> MachineTargets(std::span<const StepTarget> targets) {
  std::vector<StepTarget> out;
  for (const StepTarget& target : targets) {
    if (!IsPerUser(target)) out.push_back(target);
  }
  return out;
}

std::vector<StepTarget> UserTargets(RegistryService& registry, std::span<const StepTarget> targets,
                                    const std::string& sid) {
  std::vector<StepTarget> out;
  bool keep = false;  // the group of the last Key step goes to this user
  for (const StepTarget& target : targets) {
    if (target.kind == StepKind::Command) {
      keep = false;
      continue;
    }
    const bool classes = target.root == RegRoot::ClassesRoot;
    const std::string hive = sid + (classes ? "_Classes" : "");
    if (target.kind == StepKind::Key || !target.hasKey) {
      keep = target.root == RegRoot::CurrentUser;
      if (classes && target.kind == StepKind::Key) {
        // Only a key the user has overrides the machine's; a key that cannot
        // be read is kept, so that the check says so.
        RegKey key(registry);
        keep = key.Open(RegRoot::Users, hive + "\\" + target.path, kKeyRead, target.view) != regerr::kFileNotFound;
      } else if (classes) {
        keep = target.kind == StepKind::ShellVerbs || target.kind == StepKind::DeleteTree;
      }
    }
    if (!keep) continue;
    StepTarget mine = target;
    mine.root = RegRoot::Users;
    mine.path = hive + (target.path.empty() ? "" : "\\" + target.path);
    out.push_back(std::move(mine));
  }
  return out;
}

}  // namespace orvane

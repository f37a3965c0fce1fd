#include "menuext/menu_ext_entries.h"

#include "repair/journal.h"
#include "repair/key_tree.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {
constexpr std::uint16_t kDeletedTitle = 3609;
}  // namespace

std::vector<std::string> MenuExtNames(RegistryService& registry, long* code) {
  std::vector<std::string> names;
  RegKey key(registry);
  long opened = key.Open(RegRoot::CurrentUser, kMenuExtPath, kKeyAllButDelete);
  RegKeyInfo info;
  if (opened == regerr::kSuccess) opened = registry.QueryInfoKey(key.Get(), info);
  if (code) *code = opened == regerr::kFileNotFound ? regerr::kSuccess : opened;
  if (opened != regerr::kSuccess) return names;

  // The full size on every call, so no name is refused after a longer one.
  const std::uint32_t bufferChars = info.maxSubkeyLen + 1;
  std::string name;
  for (std::uint32_t index = 0; index < info.subkeys; ++index) {
    if (registry.EnumKey(key.Get(), index, bufferChars, name) != regerr::kSuccess) continue;
    names.push_back(name.substr(0, name.find('\0')));
  }
  return names;
}

bool DeleteMenuExtEntry(RegistryService& registry, std::string_view name) {
  // Empty would name the MenuExt key itself, a backslash a key below an entry.
  if (name.empty() || name.find('\\') != std::string_view::npos) return false;
  try {
    RegKey key(registry);
    if (key.Create(RegRoot::CurrentUser, kMenuExtPath) != regerr::kSuccess) return false;
    // An entry with subkeys goes with all of them, a link as the link; what
    // cannot go stays listed.
    RegKey entry(registry);
    if (entry.OpenSubkeyAsLink(key.Get(), name, kKeyRead) != regerr::kSuccess) return false;
    entry.Close();
    return DeleteKeyTree(registry, RegRoot::CurrentUser, std::string(kMenuExtPath) + "\\" + std::string(name)) ==
           regerr::kSuccess;
  } catch (...) {
    return false;
  }
}

RunReport DeleteMenuExtEntries(RegistryService& registry, FileStore* files, const std::string& version,
                               const AppConfig& config, const std::vector<std::string>& names) {
  std::vector<StepTarget> targets;
  for (const std::string& name : names) {
    targets.push_back({.kind = StepKind::DeleteTree, .root = RegRoot::CurrentUser,
                       .path = std::string(kMenuExtPath) + "\\" + name});
  }
  std::string title = LoadString(kDeletedTitle);
  for (const std::string& name : names) title += " " + name;
  return JournaledChange(files, registry, version, config, title, targets, [&] {
    RunReport report{targets, {}};
    for (const std::string& name : names) {
      report.outcomes.push_back({DeleteMenuExtEntry(registry, name) ? Outcome::Done : Outcome::Refused, 0});
    }
    return report;
  });
}

}  // namespace orvane

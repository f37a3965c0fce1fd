#include "menuext/menu_ext_entries.h"

#include "repair/journal.h"
#include "repair/key_tree.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {
constexpr std::uint16_t kDeletedTitle = 3609;

RegRoot HiveRoot(const std::string& sid) { return sid.empty() ? RegRoot::CurrentUser : RegRoot::Users; }
std::string HivePath(const std::string& sid) {
  return sid.empty() ? std::string(kMenuExtPath) : sid + "\\" + std::string(kMenuExtPath);
}
}  // namespace

std::vector<std::string> MenuExtNames(RegistryService& registry, long* code, const std::string& sid) {
  std::vector<std::string> names;
  RegKey key(registry);
  long opened = key.Open(HiveRoot(sid), HivePath(sid), kKeyAllButDelete);
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

bool DeleteMenuExtEntry(RegistryService& registry, std::string_view name, const std::string& sid) {
  // Empty would name the MenuExt key itself, a backslash a key below an entry.
  if (name.empty() || name.find('\\') != std::string_view::npos) return false;
  try {
    RegKey key(registry);
    if (key.Create(HiveRoot(sid), HivePath(sid)) != regerr::kSuccess) return false;
    // An entry with subkeys goes with all of them, a link as the link; what
    // cannot go stays listed.
    RegKey entry(registry);
    if (entry.OpenSubkeyAsLink(key.Get(), name, kKeyRead) != regerr::kSuccess) return false;
    entry.Close();
    return DeleteKeyTree(registry, HiveRoot(sid), HivePath(sid) + "\\" + std::string(name)) == regerr::kSuccess;
  } catch (...) {
    return false;
  }
}

RunReport DeleteMenuExtEntries(RegistryService& registry, FileStore* files, const std::string& version,
                               const AppConfig& config, const std::vector<MenuExtEntry>& entries) {
  std::vector<StepTarget> targets;
  std::string title = LoadString(kDeletedTitle);
  for (const MenuExtEntry& entry : entries) {
    targets.push_back({.kind = StepKind::DeleteTree, .root = HiveRoot(entry.sid),
                       .path = HivePath(entry.sid) + "\\" + entry.name});
    title += " " + entry.name + (entry.sid.empty() ? "" : " (" + entry.sid + ")");
  }
  return JournaledChange(files, registry, version, config, title, targets, [&] {
    RunReport report{targets, {}};
    for (const MenuExtEntry& entry : entries) {
      const bool done = DeleteMenuExtEntry(registry, entry.name, entry.sid);
      report.outcomes.push_back({done ? Outcome::Done : Outcome::Refused, 0});
    }
    return report;
  });
}

}  // namespace orvane

#include "menuext/menu_ext.h"

#include <string>
#include <vector>

namespace orvane {

void ListMenuExtEntries(RegistryService& registry, ui::ListBox& list) {
  list.Clear();
  RegKey key(registry);
  if (key.Open(RegRoot::CurrentUser, kMenuExtPath, kKeyAllButDelete) != regerr::kSuccess) return;

  RegKeyInfo info;
  if (registry.QueryInfoKey(key.Get(), info) != regerr::kSuccess) return;

  // The full size on every call, so no name is refused after a longer one.
  const std::uint32_t bufferChars = info.maxSubkeyLen + 1;
  std::string name;
  for (std::uint32_t index = 0; index < info.subkeys; ++index) {
    if (registry.EnumKey(key.Get(), index, bufferChars, name) != regerr::kSuccess) continue;
    list.AddItem(name.substr(0, name.find('\0')));
  }
}

namespace {

constexpr int kMaxDepth = 64;  // guards against a key that links back up

// Deletes every subkey below HKCU\path, deepest first; the key itself stays.
bool EmptyKey(RegistryService& registry, const std::string& path, int depth) {
  if (depth > kMaxDepth) return false;
  RegKey key(registry);
  if (key.Open(RegRoot::CurrentUser, path, kKeyAllButDelete) != regerr::kSuccess) return false;
  RegKeyInfo info;
  if (registry.QueryInfoKey(key.Get(), info) != regerr::kSuccess) return false;
  // Every name first: deleting shifts the indexes.
  std::vector<std::string> names;
  for (std::uint32_t index = 0; index < info.subkeys; ++index) {
    std::string name;
    if (registry.EnumKey(key.Get(), index, info.maxSubkeyLen + 1, name) == regerr::kSuccess) {
      names.push_back(std::move(name));
    }
  }
  bool ok = names.size() == info.subkeys;
  for (const std::string& name : names) {
    ok = EmptyKey(registry, path + "\\" + name, depth + 1) && ok;
    ok = registry.DeleteKey(key.Get(), name) == regerr::kSuccess && ok;
  }
  return ok;
}

}  // namespace

bool DeleteMenuExtEntry(RegistryService& registry, std::string_view name) {
  if (name.empty()) return false;  // would name the MenuExt key itself
  try {
    RegKey key(registry);
    if (key.Create(RegRoot::CurrentUser, kMenuExtPath) != regerr::kSuccess) return false;
    // An entry with subkeys goes with all of them; what cannot go stays listed.
    EmptyKey(registry, std::string(kMenuExtPath) + "\\" + std::string(name), 0);
    return registry.DeleteKey(key.Get(), name) == regerr::kSuccess;
  } catch (...) {
    return false;
  }
}

}  // namespace orvane

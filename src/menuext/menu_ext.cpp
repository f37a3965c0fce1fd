#include "menuext/menu_ext.h"

#include <string>

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

bool DeleteMenuExtEntry(RegistryService& registry, std::string_view name) {
  try {
    RegKey key(registry);
    if (key.Create(RegRoot::CurrentUser, kMenuExtPath) != regerr::kSuccess) return false;
    return registry.DeleteKey(key.Get(), name) == regerr::kSuccess;
  } catch (...) {
    return false;
  }
}

}  // namespace orvane

#include "menuext/menu_ext.h"

namespace orvane {

void ListMenuExtEntries(RegistryService& registry, ui::ListBox& list) {
  list.Clear();
  for (const std::string& name : MenuExtNames(registry)) list.AddItem(name);
}

}  // namespace orvane

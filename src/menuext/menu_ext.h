#pragma once
// The browser's context-menu extensions: the subkeys of the current user's
// MenuExt key, listed by name and deleted one at a time.
#include <string_view>

#include "menuext/menu_ext_entries.h"
#include "platform/registry.h"
#include "ui/toolkit/widgets.h"

namespace orvane {

// Empties the list, then adds one line per subkey in enumeration order. A
// missing key gives an empty list and is not created.
void ListMenuExtEntries(RegistryService& registry, ui::ListBox& list);

}  // namespace orvane

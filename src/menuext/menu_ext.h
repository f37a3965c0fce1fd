#pragma once
// The browser's context-menu extensions: the subkeys of the current user's
// MenuExt key, listed by name and deleted one at a time.
#include <string_view>

#include "platform/registry.h"
#include "ui/toolkit/widgets.h"

namespace orvane {

constexpr std::string_view kMenuExtPath = R"(Software\Microsoft\Internet Explorer\MenuExt)";

// Empties the list, then adds one line per subkey in enumeration order. A
// missing key gives an empty list and is not created.
void ListMenuExtEntries(RegistryService& registry, ui::ListBox& list);

// Deletes the subkey `name` with everything below it. False when the key
// could not be opened or the subkey was not deleted (refused or already gone).
bool DeleteMenuExtEntry(RegistryService& registry, std::string_view name);

}  // namespace orvane

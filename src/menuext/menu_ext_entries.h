#pragma once
// The browser's context-menu extensions in the registry: the subkeys of the
// current user's MenuExt key.
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"
#include "platform/registry.h"
#include "repair/steps.h"
#include "settings/app_config.h"

namespace orvane {

constexpr std::string_view kMenuExtPath = R"(Software\Microsoft\Internet Explorer\MenuExt)";

// The subkey names in enumeration order. A missing key gives none and is not created;
// `code` (when given) receives the error of a key that exists but cannot be read.
std::vector<std::string> MenuExtNames(RegistryService& registry, long* code = nullptr);

// Deletes the subkey `name` with everything below it. False when the key
// could not be opened or the subkey was not deleted (refused or already gone).
bool DeleteMenuExtEntry(RegistryService& registry, std::string_view name);
// Deletes the entries as one change journaled in `files` (none: not journaled);
// one outcome per name.
RunReport DeleteMenuExtEntries(RegistryService& registry, FileStore* files, const std::string& version,
                               const AppConfig& config, const std::vector<std::string>& names);

}  // namespace orvane

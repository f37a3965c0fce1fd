#pragma once
// Another signed-in user's shortcut folders, as a program running for the
// whole machine finds them: the profile folder the system keeps for the SID,
// and the folders the user's own hive names, taken only where they lie inside
// that profile (the user writes those values, and could point them anywhere).
#include <string>
#include <string_view>
#include <vector>

#include "browsers/shortcut_rules.h"
#include "platform/registry.h"

namespace orvane {

// The profile folder of `sid` from the machine's profile list; "" when there
// is none or it cannot be read as a full path.
std::string UserProfileFolder(RegistryService& registry, const std::string& sid);

// Whether `path` is `folder` or lies below it, written so that it cannot
// leave it: no "." or ".." step, no empty step, no stream or device form.
bool LiesWithin(std::string_view path, std::string_view folder);

// The user's desktop, Start menu (with its subfolders), Quick Launch and its
// pinned folders, each confined to the profile; none without a profile.
std::vector<ShortcutFolder> UserShortcutFolders(RegistryService& registry, const std::string& sid);

}  // namespace orvane

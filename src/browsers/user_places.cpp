#include "browsers/user_places.h"

#include "platform/text.h"

namespace orvane {
namespace {

constexpr std::string_view kProfileList = R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\)";

// `text` with a leading %name% replaced by `by`; any other variable makes it "".
std::string ExpandLeading(const std::string& text, std::string_view name, const std::string& by) {
  const std::string variable = "%" + std::string(name) + "%";
  std::string out = StartsWithNoCase(text, variable) ? by + text.substr(variable.size()) : text;
  return out.find('%') == std::string::npos ? out : std::string();
}

bool IsFullPath(std::string_view path) {
  return path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\';
}

// The first of the hive's own names for the folder that stays within the
// profile, else the folder's usual place there.
std::string PickFolder(RegistryService& registry, const std::string& sid, const std::string& profile,
                       std::string_view name, const std::string& usual) {
  const std::string explorer = sid + R"(\Software\Microsoft\Windows\CurrentVersion\Explorer\)";
  for (const char* key : {"User Shell Folders", "Shell Folders"}) {
    std::string path = ExpandLeading(ReadText(registry, RegRoot::Users, explorer + key, name), "USERPROFILE", profile);
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    if (!path.empty() && LiesWithin(path, profile)) return path;
  }
  return profile + "\\" + usual;
}

}  // namespace

bool LiesWithin(std::string_view path, std::string_view folder) {
  if (!IsFullPath(folder) || !StartsWithNoCase(path, folder)) return false;
  std::string_view rest = path.substr(folder.size());
  if (rest.empty()) return true;
  if (rest.front() != '\\' && folder.back() != '\\') return false;
  if (rest.find_first_of(":/*?\"<>|") != std::string_view::npos) return false;
  if (rest.front() == '\\') rest.remove_prefix(1);
  while (true) {
    const std::size_t end = rest.find('\\');
    const std::string_view step = rest.substr(0, end);
    // Windows drops trailing dots and spaces: "..." and ". ." are ".." too.
    if (step.empty() || step.find_first_not_of(". ") == std::string_view::npos) return false;
    if (end == std::string_view::npos) return true;
    rest.remove_prefix(end + 1);
  }
}

std::string UserProfileFolder(RegistryService& registry, const std::string& sid) {
  if (sid.find('\\') != std::string::npos) return {};
  const std::string raw = ReadText(registry, RegRoot::LocalMachine, std::string(kProfileList) + sid, "ProfileImagePath");
  const std::string root = ReadText(registry, RegRoot::LocalMachine, R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion)",
                                    "SystemRoot");
  std::string profile = ExpandLeading(raw, "SystemDrive", IsFullPath(root) ? root.substr(0, 2) : std::string("%"));
  while (profile.size() > 3 && profile.back() == '\\') profile.pop_back();
  return IsFullPath(profile) && LiesWithin(profile, profile.substr(0, 3)) ? profile : std::string();
}

std::vector<ShortcutFolder> UserShortcutFolders(RegistryService& registry, const std::string& sid) {
  const std::string profile = UserProfileFolder(registry, sid);
  if (profile.empty()) return {};
  const std::string appData = PickFolder(registry, sid, profile, "AppData", R"(AppData\Roaming)");
  const std::string quickLaunch = appData + R"(\Microsoft\Internet Explorer\Quick Launch)";
  return {{PickFolder(registry, sid, profile, "Desktop", "Desktop"), false, profile},
          {PickFolder(registry, sid, profile, "Start Menu", R"(AppData\Roaming\Microsoft\Windows\Start Menu)"), true,
           profile},
          {quickLaunch, false, profile},
          {quickLaunch + R"(\User Pinned\TaskBar)", false, profile},
          {quickLaunch + R"(\User Pinned\StartMenu)", false, profile}};
}

}  // namespace orvane

#include "settings/config_file.h"

namespace orvane {

std::string FolderOfProgram(std::string_view programPath) {
  std::size_t slash = programPath.rfind('\\');
  if (slash == std::string_view::npos) return {};
  std::string_view folder = programPath.substr(0, slash);
  // A drive root keeps its backslash ("C:\"), as the system reports it.
  if (folder.ends_with(':')) folder = programPath.substr(0, slash + 1);
  return std::string(folder);
}

std::string ConfigFilePath(std::string_view folder) {
  std::string path(folder);
  if (!path.ends_with('\\')) path += '\\';
  path += kConfigFileName;
  return path;
}

std::string ConfigFileText(const AppConfig& config) {
  std::string text;
  text += "[";
  text += kConfigSection;
  text += "]\r\n";
  text += "HomePage=" + config.HomePage + "\r\n";
  text += "SEO=" + config.SEO + "\r\n";
  return text;
}

void ReadConfig(ConfigFiles& files, AppConfig& config) {
  ReadConfigAt(files, ConfigFilePath(files.ProgramFolder()), config);
}

void ReadConfigAt(ConfigFiles& files, const std::string& path, AppConfig& config) {
  config.HomePage = files.ReadString(path, kConfigSection, "HomePage", kDefaultHomePage);
  config.SEO = files.ReadString(path, kConfigSection, "SEO", DefaultSearchPage);
}

void WriteConfig(ConfigFiles& files, const AppConfig& config) {
  // Written beside the old file under a name of its own and moved over it, so a failure never
  // leaves it half written and nothing already there is written through or removed.
  constexpr int kAttempts = 8;
  const std::string path = ConfigFilePath(files.ProgramFolder());
  const std::string text = ConfigFileText(config);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string temp = path + "." + files.UniqueTag() + ".new";
    const NewFile made = files.WriteNewFile(temp, text);
    if (made == NewFile::Exists) continue;
    if (made == NewFile::Written && files.MoveOver(temp, path)) return;
    files.Remove(temp);  // ours: nothing of that name was there before
    return;
  }
}

}  // namespace orvane

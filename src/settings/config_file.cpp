#include "settings/config_file.h"

#include "platform/text.h"

namespace orvane {
namespace {

constexpr long kSaveFailed = 29;  // ERROR_WRITE_FAULT, when the system named no reason

}  // namespace

bool IsUtf8Text(std::string_view bytes) {
  bool wide = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned lead = at(i++);
    if (lead < 0x80) continue;
    wide = true;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || i + extra > bytes.size()) return false;
    unsigned cp = lead & (0x3Fu >> extra);
    for (int k = 0; k < extra; ++k, ++i) {
      if ((at(i) & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (at(i) & 0x3F);
    }
    if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
      return false;
    }
  }
  return wide;
}

std::optional<std::string> IniValue(std::string_view text, std::string_view section, std::string_view key) {
  const auto trim = [](std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view();
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
  };
  bool inSection = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.starts_with('[')) {
      const std::size_t close = line.find(']');
      inSection = close != std::string_view::npos && EqualsNoCase(trim(line.substr(1, close - 1)), section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inSection || equals == std::string_view::npos || !EqualsNoCase(trim(line.substr(0, equals)), key)) continue;
    std::string_view value = trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

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

ConfigSave WriteConfig(ConfigFiles& files, const AppConfig& config) {
  // Written beside the old file under a name of its own and moved over it, so a failure never
  // leaves it half written and nothing already there is written through or removed.
  constexpr int kAttempts = 8;
  const std::string path = ConfigFilePath(files.ProgramFolder());
  const std::string text = ConfigFileText(config);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string temp = path + "." + files.UniqueTag() + ".new";
    const NewFile made = files.WriteNewFile(temp, text);
    if (made == NewFile::Exists) continue;
    if (made == NewFile::Written && files.MoveOver(temp, path)) return {path, 0};
    const long code = files.LastError();
    files.Remove(temp);  // ours: nothing of that name was there before
    return {path, code ? code : kSaveFailed};
  }
  return {path, kSaveFailed};
}

}  // namespace orvane

#pragma once
// Config.ini beside the program: section IEConfig, keys HomePage and SEO.
#include <optional>
#include <string>
#include <string_view>

#include "settings/app_config.h"

namespace orvane {

inline constexpr char kConfigFileName[] = "Config.ini";
inline constexpr char kConfigSection[] = "IEConfig";
inline constexpr char kDefaultHomePage[] = "about:blank";

// What creating a new file came to.
enum class NewFile { Written, Exists, Failed };

// The file system as the configuration file uses it. Paths and text are UTF-8; paths are
// Windows paths ("\" separators).
class ConfigFiles {
 public:
  virtual ~ConfigFiles() = default;

  // The folder that holds the program: a drive root with its closing "\", others without.
  virtual std::string ProgramFolder() = 0;
  // The key's whole value, as GetPrivateProfileString gives it with a buffer large enough.
  virtual std::string ReadString(const std::string& path, std::string_view section,
                                 std::string_view key, std::string_view fallback) = 0;
  // Creates the file only when nothing of that name exists (a link is not followed) and
  // writes the text flushed to disk: in the ANSI code page when every character fits it,
  // else as UTF-16LE with a byte-order mark.
  virtual NewFile WriteNewFile(const std::string& path, std::string_view text) = 0;
  // Puts the file `from` in place of `to` in one step, replacing it.
  virtual bool MoveOver(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
  // A name part no other process or call gets at the same time.
  virtual std::string UniqueTag() = 0;
  // The system's error of the last WriteNewFile or MoveOver that failed.
  virtual long LastError() const { return 0; }
};

// What became of a save: `code` 0 when the file was replaced, else why not.
struct ConfigSave {
  std::string path;
  long code = 0;
};

// Bytes without a byte-order mark that are valid UTF-8 and hold a character outside
// ASCII: a file saved as UTF-8 (as Notepad does), not in the ANSI code page.
bool IsUtf8Text(std::string_view bytes);
// The value of `key` in `section` of INI text, found as the profile functions find it:
// names without regard to ASCII case, blanks around names and values dropped, one pair of
// enclosing quotes removed, the first match taken. nullopt when it is not there.
std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// "C:\Tools\Orvane.exe" -> "C:\Tools"; "C:\Orvane.exe" -> "C:\".
std::string FolderOfProgram(std::string_view programPath);
// The folder, one "\" and "Config.ini".
std::string ConfigFilePath(std::string_view folder);
// The three CR LF lines WriteConfig stores.
std::string ConfigFileText(const AppConfig& config);

// Fills both fields; a missing file, section or key gives the defaults.
void ReadConfig(ConfigFiles& files, AppConfig& config);
// The same from a file named by the caller.
void ReadConfigAt(ConfigFiles& files, const std::string& path, AppConfig& config);
// Replaces the file whole, or leaves the former one untouched when that cannot be done.
ConfigSave WriteConfig(ConfigFiles& files, const AppConfig& config);

}  // namespace orvane

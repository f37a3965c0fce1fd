#pragma once
// orvane-cli: scan, repair, undo, the context-menu extensions and the browser hijacks from scripts.
// Exit codes: 0 all intact / all succeeded, 1 damaged / failed, 2 usage or system error.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_runner.h"
#include "platform/file_store.h"
#include "platform/registry.h"
#include "settings/config_file.h"

namespace orvane {
class ShortcutStore;
}

namespace orvane::cli {

class GuardHost;

constexpr int kExitOk = 0;
constexpr int kExitProblem = 1;
constexpr int kExitError = 2;

// Where the program writes; text is UTF-8.
class Console {
 public:
  virtual ~Console() = default;
  virtual void Write(const std::string& text, bool json) = 0;
  virtual void Warn(const std::string& text) { Write(text, false); }  // the error stream
};

struct Services {
  RegistryService& registry;
  CommandRunner& commands;
  FileStore& files;
  ConfigFiles& configFiles;
  std::string version;
  // As SYSTEM every signed-in user is repaired, as with --all-users: SYSTEM's
  // own HKEY_CURRENT_USER is nobody's desktop.
  bool runningAsSystem = false;
  // "DOMAIN\name" of a SID, when it resolves.
  std::function<std::optional<std::string>(const std::string& sid)> accountName = {};
  GuardHost* guard = nullptr;  // `guard` is refused without it
  ShortcutStore* shortcuts = nullptr;  // none: the browser commands find no shortcuts
};

int Run(const std::vector<std::string>& args, Services& services, Console& out);

}  // namespace orvane::cli

#pragma once
// Backups and logs on Windows: wide file functions, %ProgramData% with a
// folder only administrators may change, the user's local application data.
#include <windows.h>

#include "platform/file_store.h"

namespace orvane {

class Win32FileStore : public FileStore {
 public:
  std::string MachineDataFolder() override;
  std::string LocalAppDataFolder() override;
  bool Elevated() override;
  FolderCheck ProtectFolder(const std::string& parent, const std::vector<std::string>& below) override;
  bool CreateFolder(const std::string& path) override;
  std::unique_ptr<OwnFile> CreateNew(const std::string& path, CreateResult& result) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit) override;
  void RemoveOld(const std::string& path) override;
  void RemoveOldFolder(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix) override;
  std::string LocalTimeStamp() override;
  std::string UniversalTime() override;
};

// Whether a folder's security lets someone other than administrators and
// SYSTEM own or change it. `self` also counts as trusted (Wine
// keeps no security of its own on files: there the process's user owns all).
FolderProblem FolderSecurityProblem(PSECURITY_DESCRIPTOR security, PSID self);

}  // namespace orvane

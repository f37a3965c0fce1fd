#pragma once
// Backups and logs on Windows: wide file functions, the executable's folder
// and the user's local application data folder.
#include "platform/file_store.h"

namespace orvane {

class Win32FileStore : public FileStore {
 public:
  Win32FileStore();  // the folder of the running executable
  explicit Win32FileStore(std::string programFolder) : folder_(std::move(programFolder)) {}

  std::string ProgramFolder() override { return folder_; }
  std::string LocalAppDataFolder() override;
  bool CreateFolder(const std::string& path) override;
  std::unique_ptr<OwnFile> CreateNew(const std::string& path, CreateResult& result) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix) override;
  std::string LocalTimeStamp() override;

 private:
  std::string folder_;
};

}  // namespace orvane

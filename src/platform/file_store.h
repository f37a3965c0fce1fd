#pragma once
// The files the backups and logs use. Paths and text are UTF-8, Windows paths.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class FileStore {
 public:
  virtual ~FileStore() = default;

  virtual std::string ProgramFolder() = 0;
  // The user's local application data folder; "" when unknown.
  virtual std::string LocalAppDataFolder() = 0;
  // Creates the folder and its parents; true when it exists afterwards.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Creates or replaces the file with exactly these bytes.
  virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // At most the first limit + 1 bytes, so that a caller can refuse a larger
  // file without reading it all.
  virtual std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit) {
    std::optional<std::string> bytes = ReadFile(path);
    if (bytes && bytes->size() > limit) bytes->resize(limit + 1);
    return bytes;
  }
  // Names (not paths) of the files in the folder whose names end in `suffix`.
  virtual std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix) = 0;
  // Local date and time as "2026-12-06_14-03-27".
  virtual std::string LocalTimeStamp() = 0;
};

}  // namespace orvane

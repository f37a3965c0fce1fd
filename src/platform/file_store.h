#pragma once
// The files the backups and logs use. Paths and text are UTF-8, Windows paths.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A file this process created. It is written and removed only through the
// handle that created it, never again by its name.
class OwnFile {
 public:
  virtual ~OwnFile() = default;
  virtual const std::string& Path() const = 0;
  // Replaces the whole content with these bytes, flushed to disk.
  virtual bool Write(std::string_view bytes) = 0;
  // Adds these bytes at the end, flushed to disk.
  virtual bool Append(std::string_view bytes) = 0;
  // Removes the file; nothing is written to it afterwards.
  virtual void Discard() = 0;
  // Puts this file in place of `target`, replacing it (a read-only one is kept).
  virtual bool MoveOver(const std::string& target) = 0;
};

enum class CreateResult { Created, Taken, Failed };

// Why a folder is not one that only administrators may change.
enum class FolderProblem { None, NotFolder, Link, Owner, OthersMayWrite, Unreadable };
struct FolderCheck {
  FolderProblem problem = FolderProblem::None;
  std::string path;  // the folder at fault
};

class FileStore {
 public:
  virtual ~FileStore() = default;

  // The machine's application data folder (%ProgramData%); "" when unknown.
  virtual std::string MachineDataFolder() = 0;
  // The user's local application data folder; "" when unknown.
  virtual std::string LocalAppDataFolder() = 0;
  // True when the process holds administrator rights.
  virtual bool Elevated() = 0;
  // Creates the folders `below` one inside the other in `parent`, or takes those
  // there, so that only administrators and SYSTEM own or may change them and
  // no link leads anywhere on the way. Checked anew at every call.
  virtual FolderCheck ProtectFolder(const std::string& parent, const std::vector<std::string>& below) = 0;
  // Creates the folder and its parents; true when it exists afterwards.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Creates a new file: Taken when anything of that name is there already (a
  // file, a folder or a link, which is never followed); Failed otherwise when
  // the file could not be made where the path says.
  virtual std::unique_ptr<OwnFile> CreateNew(const std::string& path, CreateResult& result) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // At most the first limit + 1 bytes, so that a caller can refuse a larger
  // file without reading it all.
  virtual std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit) {
    std::optional<std::string> bytes = ReadFile(path);
    if (bytes && bytes->size() > limit) bytes->resize(limit + 1);
    return bytes;
  }
  // Removes a file an earlier run made, through a handle opened on the file
  // itself (a link at the name is removed as the link, never followed).
  virtual void RemoveOld(const std::string& path) = 0;
  // Removes a folder an earlier run made and everything in it, never following
  // a link: a link at the name or inside the folder is removed as the link.
  virtual void RemoveOldFolder(const std::string& path) = 0;
  // Names (not paths) of the files in the folder whose names end in `suffix`.
  virtual std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix) = 0;
  // Local date and time as "2026-12-06_14-03-27".
  virtual std::string LocalTimeStamp() = 0;
  // Universal time as "2026-12-06T14:03:27.123Z": orders runs whatever the clock's zone.
  virtual std::string UniversalTime() = 0;
};

// Replaces the file at `path` with these bytes: written new beside it (a name
// already taken is skipped), then moved over it.
inline bool ReplaceFile(FileStore& files, const std::string& path, std::string_view bytes) {
  for (int n = 0; n < 8; ++n) {
    CreateResult result = CreateResult::Failed;
    std::unique_ptr<OwnFile> file = files.CreateNew(path + "." + std::to_string(n) + ".new", result);
    if (!file && result == CreateResult::Taken) continue;
    if (!file) return false;
    if (file->Write(bytes) && file->MoveOver(path)) return true;
    file->Discard();
    return false;
  }
  return false;
}

}  // namespace orvane

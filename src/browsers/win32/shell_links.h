#pragma once
// Shortcut files on Windows: where the browser's shortcuts lie, and reading,
// rewriting and deleting them through the shell's link object.
#include <string>
#include <vector>

#include "browsers/shortcut_rules.h"

namespace orvane {

// COM for the calling thread while it lives (if the thread had it already, as is).
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool started_ = false;
};

struct ShortcutFolder {
  std::string path;
  bool recursive = false;
};

// The user's and the public desktop, the user's and the common Start menu
// (with their subfolders), Quick Launch and its User Pinned\TaskBar and
// User Pinned\StartMenu folders. Folders the system does not name are left out.
std::vector<ShortcutFolder> StandardShortcutFolders();

// The .lnk files in the folders; linked or mounted folders are not entered.
std::vector<std::string> FindShortcutFiles(const std::vector<ShortcutFolder>& folders);

// Needs COM on the calling thread (ComScope).
ShortcutRead ReadShortcut(const std::string& path);
// Sets the shortcut's arguments and saves it in place; "" or the reason it failed.
std::string SaveShortcutArguments(const std::string& path, const std::string& arguments);
// Deletes the shortcut file; "" or the reason.
std::string DeleteShortcut(const std::string& path);

bool FileExists(const std::string& path);

// The standard folders' shortcuts through the functions above; COM is started
// for the calling thread while the store lives.
class Win32ShortcutStore : public ShortcutStore {
 public:
  std::vector<std::string> List() override { return FindShortcutFiles(StandardShortcutFolders()); }
  ShortcutRead Read(const std::string& path) override { return ReadShortcut(path); }
  std::string SaveArguments(const std::string& path, const std::string& arguments) override {
    return SaveShortcutArguments(path, arguments);
  }
  std::string Delete(const std::string& path) override { return DeleteShortcut(path); }
  bool Exists(const std::string& path) override { return FileExists(path); }

 private:
  ComScope com_;
};

}  // namespace orvane

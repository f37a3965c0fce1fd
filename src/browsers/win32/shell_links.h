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

// The user's and the public desktop, the user's and the common Start menu
// (with their subfolders), Quick Launch and its User Pinned\TaskBar and
// User Pinned\StartMenu folders; without `own`, the machine's alone. Folders
// the system does not name are left out.
std::vector<ShortcutFolder> StandardShortcutFolders(bool own = true);

// The .lnk files in the folders; linked or mounted folders are not entered,
// nor a confined folder whose way from its `within` folder passes a link.
std::vector<std::string> FindShortcutFiles(const std::vector<ShortcutFolder>& folders);

// Whether `path` lies within `folder` and neither `folder` nor any folder or
// file on the way from it to `path` is a link (a junction, a symbolic link).
bool NoLinkOnTheWay(const std::string& folder, const std::string& path);

// Needs COM on the calling thread (ComScope).
ShortcutRead ReadShortcut(const std::string& path);
// Sets the shortcut's arguments and saves it in place; "" or the reason it failed.
std::string SaveShortcutArguments(const std::string& path, const std::string& arguments);
// Deletes the shortcut file; "" or the reason.
std::string DeleteShortcut(const std::string& path);

bool FileExists(const std::string& path);

// The standard folders' shortcuts through the functions above; COM is started
// for the calling thread while the store lives. A shortcut in a confined
// folder is read and changed only while no link lies on its way.
class Win32ShortcutStore : public ShortcutStore {
 public:
  std::vector<std::string> List() override { return FindShortcutFiles(StandardShortcutFolders()); }
  std::vector<std::string> ListMachine() override { return FindShortcutFiles(StandardShortcutFolders(false)); }
  std::vector<std::string> ListIn(const std::vector<ShortcutFolder>& folders) override;
  ShortcutRead Read(const std::string& path) override;
  std::string SaveArguments(const std::string& path, const std::string& arguments) override;
  std::string Delete(const std::string& path) override;
  bool Exists(const std::string& path) override { return FileExists(path); }

 private:
  // "" when `path` may be used, otherwise why not.
  std::string Refusal(const std::string& path) const;

  ComScope com_;
  std::vector<std::string> confined_;  // the `within` folders listed
};

}  // namespace orvane

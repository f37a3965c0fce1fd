#pragma once
// Which browser shortcuts have been tampered with: an address added to the
// browser's command line, or a shortcut dressed as a browser that starts
// something else.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct BrowserProgram {
  std::string_view exe;                    // file name of the browser's program
  std::span<const std::string_view> names; // shortcut names it goes by
  std::string_view launcher = {};          // the program its own shortcuts start, when not `exe`
};

std::span<const BrowserProgram> BrowserPrograms();

// A shortcut as read from its file. Paths are full Windows paths.
struct ShortcutInfo {
  std::string path;       // the .lnk file
  std::string target;     // what it starts; "" for a shell item without a file
  std::string arguments;
  std::string iconPath = {};  // the icon's file; "" for the target's own
};

struct ShortcutRead {
  ShortcutInfo info;
  std::string error;  // why it could not be loaded; "" when it was
};

// A folder shortcuts are read from. One of another user's is entered only
// where it lies within `within` (that user's profile) with no link on the way
// there, and a shortcut in it is changed only while that still holds.
struct ShortcutFolder {
  std::string path;
  bool recursive = false;
  std::string within = {};
};

// The shortcut files of the places browsers are started from, and the changes
// cleaning makes to them. Each call answers "" on success or the reason.
class ShortcutStore {
 public:
  virtual ~ShortcutStore() = default;
  // The current user's and the machine's places.
  virtual std::vector<std::string> List() = 0;
  // The machine's places alone (the public desktop, the common Start menu).
  virtual std::vector<std::string> ListMachine() = 0;
  virtual std::vector<std::string> ListIn(const std::vector<ShortcutFolder>& folders) = 0;
  virtual ShortcutRead Read(const std::string& path) = 0;
  virtual std::string SaveArguments(const std::string& path, const std::string& arguments) = 0;
  virtual std::string Delete(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
};

// The browser a shortcut file's name says it starts ("Google Chrome - 快捷方式.lnk"), or null.
const BrowserProgram* BrowserNamedLike(std::string_view linkPath);

enum class ShortcutFault : std::uint8_t {
  None,
  Address,   // a browser started with an address: clean removes the address
  Impostor,  // named or drawn as a browser, starts something else: clean deletes it
};

struct ShortcutVerdict {
  ShortcutFault fault = ShortcutFault::None;
  const BrowserProgram* browser = nullptr;  // the browser it starts or poses as
  std::vector<std::string> addresses;        // Address: the arguments that go
  std::string cleanArguments;                // Address: what stays
};

// `fileExists` tells whether a file is there: a browser's own helper programs
// lie beside the browser's program and are no impostors.
ShortcutVerdict ClassifyShortcut(const ShortcutInfo& shortcut,
                                 const std::function<bool(const std::string&)>& fileExists);

}  // namespace orvane

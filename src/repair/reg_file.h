#pragma once
// Registry files in the format regedit writes: "Windows Registry Editor
// Version 5.00", UTF-16LE with BOM, CR LF, hex(n): for types other than text
// and numbers, "name"=- and [-key] for deletions.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "repair/steps.h"

namespace orvane {

struct RegFileValue {
  std::string name;               // "" = the default value (@)
  std::optional<RegValue> value;  // nullopt: "name"=-
};

struct RegFileKey {
  RegRoot root = RegRoot::CurrentUser;
  std::string path;
  bool remove = false;  // [-key]
  std::vector<RegFileValue> values;
  std::size_t line = 0;  // where a parsed file names it
  // Bits32: the 32-bit view's key, `path` as that view names it. The file
  // names it below Wow6432Node, as regedit does, after a line of our own.
  RegView view = RegView::Default;
};

struct RegFile {
  std::vector<RegFileKey> keys;
  // Comment lines of our own, which regedit ignores.
  std::string time;    // when the run began, universal time
  std::string undoes;  // an undo's own backup: the file that undo restored
};

// A backup of ours names its time in its first lines and ends with a line of
// its own; a file that names its time without that end is cut off.
struct RegFileHeader {
  std::string time, undoes;
};
RegFileHeader ReadRegFileHeader(std::string_view bytes);

const char* RegRootName(RegRoot root);
// "HKEY_CURRENT_USER\Software\x"
std::string FullKeyName(RegRoot root, std::string_view path);

// The file's bytes: BOM, header, one block per key.
std::string WriteRegFile(const RegFile& file);

// The whole file is checked before anything is returned: a malformed one gives
// nullopt and `error` names the line and the fault.
std::optional<RegFile> ParseRegFile(std::string_view bytes, std::string& error);

// The file as steps: [-key] deletes the tree, [key] creates the key, then its values.
std::vector<StepTarget> RegFileTargets(const RegFile& file);

}  // namespace orvane

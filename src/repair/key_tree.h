#pragma once
// Whole key trees: read one, empty one, delete one.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace orvane {

// One key of a tree as read: its path and values in enumeration order. A link
// key is read as a link: its target, no values, nothing below it.
struct TreeKey {
  std::string path;
  std::vector<std::pair<std::string, RegValue>> values;
  std::optional<std::string> link;
};

// The walks open every key of a tree as a link (never following one) and each
// subkey through its parent's handle, by its name exactly as enumerated; a
// link is deleted as the link key itself.

// Reads root\path and every key below it, parents before children. Returns the
// error of the first read that failed: kFileNotFound only when root\path itself
// is absent; a subkey listed but then not found gives kKeyDeleted.
long ReadKeyTree(RegistryService& registry, RegRoot root, std::string_view path,
                 std::vector<TreeKey>& out);

// Removes every subkey below root\path, depth first, each level opened afresh
// from the root; a failing level ends that level only. Leaves root\path itself.
// True when everything below it is gone (or it does not exist).
bool EmptyKeyTree(RegistryService& registry, RegRoot root, const std::string& path);

// EmptyKeyTree, then root\path itself. The error of the deletion; kSuccess
// also when it was absent.
long DeleteKeyTree(RegistryService& registry, RegRoot root, const std::string& path);

// Deletes the subkey `name` (which must have no subkeys) of an open key; a
// link goes as the link, its target stays.
long DeleteSubkeyItself(RegistryService& registry, RegHandle parent, std::string_view name);

// "a\b\c" -> {"a\b", "c"}; "a" -> {"", "a"}.
std::pair<std::string, std::string> SplitKeyPath(std::string_view path);

}  // namespace orvane

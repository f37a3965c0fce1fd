#include "repair/key_tree.h"

#include <exception>

namespace orvane {
namespace {

bool Absent(long code) { return code == regerr::kFileNotFound; }

// Windows nests keys at most 512 deep; deeper means a link leads back up.
constexpr int kMaxDepth = 512;

std::string Child(const std::string& path, const std::string& name) {
  return path.empty() ? name : path + "\\" + name;
}

// Every subkey name, read before anything is deleted (deleting shifts the indexes).
long SubkeyNames(RegistryService& registry, RegHandle key, std::vector<std::string>& names) {
  RegKeyInfo info;
  long code = registry.QueryInfoKey(key, info);
  if (code != regerr::kSuccess) return code;
  names.reserve(info.subkeys);
  for (std::uint32_t index = 0; index < info.subkeys; ++index) {
    std::string name;
    long read = registry.EnumKey(key, index, info.maxSubkeyLen + 1, name);
    if (read == regerr::kSuccess) {
      names.push_back(std::move(name));
    } else {
      code = read;
    }
  }
  return code;
}

// A subkey that was listed cannot be absent: it went, or its name did not
// survive; either way the tree was not read whole.
long ChildCode(long code) { return Absent(code) ? regerr::kKeyDeleted : code; }

constexpr std::uint32_t kKeyEmpty = kKeyAllButDelete | kKeyDelete;

long ReadLevel(RegistryService& registry, RegHandle key, const std::string& path,
               std::vector<TreeKey>& out, int depth) {
  if (depth > kMaxDepth) return regerr::kAccessDenied;  // a loop, not a tree
  TreeKey entry{path, {}, std::nullopt};
  std::string target;
  long code = LinkTarget(registry, key, target);
  if (code == regerr::kSuccess) {
    entry.link = std::move(target);
    out.push_back(std::move(entry));
    return regerr::kSuccess;
  }
  if (!Absent(code)) return code;
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    RegValue value;
    long read = registry.EnumValue(key, index, name, value);
    if (read == regerr::kNoMoreItems) break;
    if (read != regerr::kSuccess) return read;
    entry.values.emplace_back(std::move(name), std::move(value));
  }
  out.push_back(std::move(entry));
  std::vector<std::string> names;
  code = SubkeyNames(registry, key, names);
  if (code != regerr::kSuccess) return code;
  for (const std::string& name : names) {
    RegKey child(registry);
    code = ChildCode(child.OpenSubkeyAsLink(key, name, kKeyRead));
    if (code == regerr::kSuccess) code = ChildCode(ReadLevel(registry, child.Get(), Child(path, name), out, depth + 1));
    if (code != regerr::kSuccess) return code;
  }
  return regerr::kSuccess;
}

bool IsLink(RegistryService& registry, RegHandle key) {
  std::string target;
  return LinkTarget(registry, key, target) == regerr::kSuccess;
}

// Deletes every subkey of the open key: a link as the link, any other after
// emptying it. A subkey gone meanwhile is no failure.
bool EmptyLevel(RegistryService& registry, RegHandle key, int depth) {
  if (depth > kMaxDepth) return false;
  std::vector<std::string> names;
  bool ok = SubkeyNames(registry, key, names) == regerr::kSuccess;
  for (const std::string& name : names) {
    RegKey child(registry);
    long opened = child.OpenSubkeyAsLink(key, name, kKeyEmpty);
    if (opened != regerr::kSuccess) {
      ok = ok && Absent(opened);
      continue;
    }
    if (!IsLink(registry, child.Get())) ok = EmptyLevel(registry, child.Get(), depth + 1) && ok;
    long deleted = registry.DeleteOpenKey(child.Get());
    if (deleted != regerr::kSuccess && deleted != regerr::kKeyDeleted) ok = false;
  }
  return ok;
}

}  // namespace

std::pair<std::string, std::string> SplitKeyPath(std::string_view path) {
  std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return {"", std::string(path)};
  return {std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
}

long DeleteSubkeyItself(RegistryService& registry, RegHandle parent, std::string_view name) {
  RegKey child(registry);
  long code = child.OpenSubkeyAsLink(parent, name, kKeyDelete);
  return code == regerr::kSuccess ? registry.DeleteOpenKey(child.Get()) : code;
}

long ReadKeyTree(RegistryService& registry, RegRoot root, std::string_view path,
                 std::vector<TreeKey>& out) {
  RegKey key(registry);
  long code = key.OpenAsLink(root, path, kKeyRead);
  if (code != regerr::kSuccess) return code;
  return ReadLevel(registry, key.Get(), std::string(path), out, 0);
}

bool EmptyKeyTree(RegistryService& registry, RegRoot root, const std::string& path) {
  try {
    RegKey key(registry);
    long opened = key.OpenAsLink(root, path, kKeyEmpty);
    if (opened != regerr::kSuccess) return Absent(opened);
    return IsLink(registry, key.Get()) || EmptyLevel(registry, key.Get(), 0);
  } catch (const std::exception&) {
    return false;
  }
}

long DeleteKeyTree(RegistryService& registry, RegRoot root, const std::string& path) {
  try {
    RegKey key(registry);
    long code = key.OpenAsLink(root, path, kKeyEmpty);
    if (code == regerr::kSuccess) {
      if (!IsLink(registry, key.Get())) EmptyLevel(registry, key.Get(), 0);
      code = registry.DeleteOpenKey(key.Get());
    }
    return Absent(code) || code == regerr::kKeyDeleted ? regerr::kSuccess : code;
  } catch (const std::exception&) {
    return regerr::kAccessDenied;
  }
}

}  // namespace orvane

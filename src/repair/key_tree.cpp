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

long ReadLevel(RegistryService& registry, RegRoot root, std::string_view path,
               std::vector<TreeKey>& out, int depth) {
  if (depth > kMaxDepth) return regerr::kAccessDenied;  // a loop, not a tree
  RegKey key(registry);
  long code = key.Open(root, path, kKeyRead);
  if (code != regerr::kSuccess) return code;
  TreeKey entry{std::string(path), {}};
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    RegValue value;
    long read = registry.EnumValue(key.Get(), index, name, value);
    if (read == regerr::kNoMoreItems) break;
    if (read != regerr::kSuccess) return read;
    entry.values.emplace_back(std::move(name), std::move(value));
  }
  out.push_back(std::move(entry));
  std::vector<std::string> names;
  code = SubkeyNames(registry, key.Get(), names);
  if (code != regerr::kSuccess) return code;
  key.Close();
  for (const std::string& name : names) {
    code = ReadLevel(registry, root, Child(std::string(path), name), out, depth + 1);
    if (code != regerr::kSuccess) return code;
  }
  return regerr::kSuccess;
}


bool EmptyLevel(RegistryService& registry, RegRoot root, const std::string& path, int depth) {
  if (depth > kMaxDepth) return false;
  RegKey key(registry);
  long opened = key.Open(root, path, kKeyAllButDelete);
  if (opened != regerr::kSuccess) return Absent(opened);
  std::vector<std::string> names;
  bool ok = SubkeyNames(registry, key.Get(), names) == regerr::kSuccess;
  for (const std::string& name : names) {
    ok = EmptyLevel(registry, root, Child(path, name), depth + 1) && ok;
    long deleted = registry.DeleteKey(key.Get(), name);
    if (deleted != regerr::kSuccess && !Absent(deleted)) ok = false;
  }
  return ok;
}


}  // namespace

std::pair<std::string, std::string> SplitKeyPath(std::string_view path) {
  std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return {"", std::string(path)};
  return {std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
}

long ReadKeyTree(RegistryService& registry, RegRoot root, std::string_view path,
                 std::vector<TreeKey>& out) {
  return ReadLevel(registry, root, path, out, 0);
}

bool EmptyKeyTree(RegistryService& registry, RegRoot root, const std::string& path) {
  try {
    return EmptyLevel(registry, root, path, 0);
  } catch (const std::exception&) {
    return false;
  }
}

long DeleteKeyTree(RegistryService& registry, RegRoot root, const std::string& path) {
  EmptyKeyTree(registry, root, path);
  auto [parentPath, leaf] = SplitKeyPath(path);
  RegKey parent(registry);
  long code = parent.Open(root, parentPath, kKeyAllButDelete);
  if (code == regerr::kSuccess) code = registry.DeleteKey(parent.Get(), leaf);
  return Absent(code) ? regerr::kSuccess : code;
}

}  // namespace orvane

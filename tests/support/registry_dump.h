#pragma once
// A registry read through its interface as text, for exact before/after and
// model/system comparisons: every value (and, with `keys`, every key) below the
// three roots with type and bytes, sorted without case as an import may reorder.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orvane::testing {

inline std::string Folded(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

inline void DumpKey(RegistryService& reg, RegRoot root, const std::string& path, bool keys,
                    std::vector<std::string>& lines) {
  RegKey key(reg);
  if (key.Open(root, path, kKeyRead) != regerr::kSuccess) return;
  const std::string at = std::to_string(static_cast<std::uint32_t>(root)) + '\\' + path;
  if (keys) lines.push_back(at);
  std::string name;
  RegValue value;
  for (std::uint32_t i = 0; reg.EnumValue(key.Get(), i, name, value) == regerr::kSuccess; ++i) {
    std::string line = at + " [" + name + "]=" + std::to_string(static_cast<int>(value.type)) + ':';
    for (auto byte : value.data) line += ' ' + std::to_string(int(byte));
    lines.push_back(line);
  }
  std::vector<std::string> subkeys;
  for (std::uint32_t i = 0; reg.EnumKey(key.Get(), i, 300, name) == regerr::kSuccess; ++i) subkeys.push_back(name);
  for (const std::string& sub : subkeys) DumpKey(reg, root, path.empty() ? sub : path + "\\" + sub, keys, lines);
}

inline std::string Dump(RegistryService& reg, bool keys = true) {
  std::vector<std::string> lines;
  for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine}) {
    DumpKey(reg, root, "", keys, lines);
  }
  std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) { return Folded(a) < Folded(b); });
  std::string out;
  for (const std::string& line : lines) out += line + '\n';
  return out;
}

inline RegValue Bytes(RegType type, std::initializer_list<std::uint8_t> data) { return {type, data}; }

}  // namespace orvane::testing

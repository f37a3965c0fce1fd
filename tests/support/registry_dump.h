#pragma once
// Text dumps of an in-memory registry, for exact before/after comparisons.
#include <functional>
#include <sstream>
#include <string>

#include "platform/memory_registry.h"

namespace orvane::testing {

// Every value (and, with `keys`, every key) below the three roots, with type and bytes.
inline std::string Dump(const MemoryRegistry& reg, bool keys = true) {
  std::ostringstream out;
  std::function<void(RegRoot, const std::string&)> walk = [&](RegRoot root, const std::string& path) {
    if (keys) out << static_cast<std::uint32_t>(root) << '\\' << path << '\n';
    for (const std::string& name : reg.ValueNames(root, path)) {
      RegValue v = *reg.Value(root, path, name);
      out << static_cast<std::uint32_t>(root) << '\\' << path << " [" << name << "]=" << static_cast<int>(v.type) << ':';
      for (auto byte : v.data) out << ' ' << int(byte);
      out << '\n';
    }
    for (const std::string& sub : reg.SubkeyNames(root, path)) walk(root, path.empty() ? sub : path + "\\" + sub);
  };
  for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine}) walk(root, "");
  return out.str();
}

inline RegValue Bytes(RegType type, std::initializer_list<std::uint8_t> data) { return {type, data}; }

}  // namespace orvane::testing

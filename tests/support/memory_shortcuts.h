#pragma once
// Shortcut files in memory; an entry with an error cannot be loaded.
#include <map>
#include <string>
#include <vector>

#include "browsers/shortcut_rules.h"

namespace orvane::testing {

struct MemoryShortcuts : ShortcutStore {
  std::map<std::string, ShortcutRead> links;
  std::vector<std::string> List() override { return ListIn({{"C:\\"}}); }
  std::vector<std::string> ListMachine() override { return ListIn({{R"(C:\ProgramData)"}, {R"(C:\Users\Public)"}}); }
  // Those whose path begins with a folder's, however it was written.
  std::vector<std::string> ListIn(const std::vector<ShortcutFolder>& folders) override {
    std::vector<std::string> paths;
    for (const auto& [path, link] : links) {
      for (const ShortcutFolder& f : folders) {
        if (path.starts_with(f.path)) paths.push_back(path);
      }
    }
    return paths;
  }
  ShortcutRead Read(const std::string& path) override { return links.count(path) ? links[path] : ShortcutRead{{}, "missing"}; }
  std::string SaveArguments(const std::string& path, const std::string& args) override {
    return links[path].info.arguments = args, "";
  }
  std::string Delete(const std::string& path) override { return links.erase(path) ? "" : "missing"; }
  bool Exists(const std::string& path) override { return links.count(path) > 0; }
};

}  // namespace orvane::testing

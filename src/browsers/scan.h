#pragma once
// Everything that takes today's browsers over, found in one pass and listed
// one line each: policy values and keys, policies.json entries and shortcuts.
#include <cstdint>
#include <string>
#include <vector>

#include "browsers/policy_finder.h"
#include "browsers/shortcut_rules.h"
#include "platform/file_store.h"
#include "platform/registry.h"

namespace orvane {

enum class FindingSource : std::uint8_t { Policy, PolicyFile, Shortcut };

struct BrowserFinding {
  FindingSource source = FindingSource::Policy;
  std::string browser;     // its name as people know it
  std::string where;       // registry value or key, file and entry, or shortcut path
  std::uint16_t what = 0;  // string: what it does
  std::string value;
  std::string user;        // the SID whose hive or profile it is in, with every user apart
  bool cleanable = true;   // false: listed only (a file or shortcut that cannot be read)

  PolicyHit policy;                           // Policy
  std::string file;                           // PolicyFile: policies.json; Shortcut: the .lnk
  std::string entry;                          // PolicyFile: the entry's name
  ShortcutFault fault = ShortcutFault::None;  // Shortcut
};

struct BrowserServices {
  RegistryService& registry;
  FileStore& files;
  ShortcutStore& shortcuts;
  // With every user apart, the loaded user hives: their policies and shortcuts
  // (and the machine's) instead of the own user's.
  const std::vector<std::string>* users = nullptr;
};

// Policies first, then policies.json files, then shortcuts, each in the order read.
std::vector<BrowserFinding> ScanBrowsers(BrowserServices& services);

// "browser | where | what | value": the same finding gives the same line.
std::string FindingText(const BrowserFinding& finding);

// Removes what the line names, reading it afresh first: a line that has gone
// meanwhile counts as removed. "" on success, otherwise the reason.
std::string CleanFinding(BrowserServices& services, const BrowserFinding& finding);

}  // namespace orvane

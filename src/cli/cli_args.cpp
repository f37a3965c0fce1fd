#include "cli/cli_args.h"

#include <algorithm>
#include <set>

#include "platform/text.h"
#include "repair/runner.h"

namespace orvane::cli {

std::optional<Args> ParseArgs(const std::vector<std::string>& args, std::string& error) {
  Args parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      parsed.json = true;
    } else if (arg == "--all-users") {
      parsed.allUsers = true;
    } else if (arg == "--config") {
      if (i + 1 >= args.size()) {
        error = "--config";
        return std::nullopt;
      }
      parsed.config = args[++i];
    } else if (arg == "--stop") {
      parsed.stop = true;
    } else if (arg.starts_with("--")) {
      error = arg;
      return std::nullopt;
    } else if (parsed.command.empty()) {
      parsed.command = AsciiLower(arg);
    } else {
      parsed.rest.push_back(arg);
    }
  }
  if (parsed.command.empty()) parsed.command = "help";
  return parsed;
}

bool WantsJson(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--config") ++i;
    else if (args[i] == "--json") return true;
  }
  return false;
}

std::optional<std::vector<int>> ParseItems(const std::vector<std::string>& words, std::string& error,
                                           bool forRepair) {
  std::set<int> items;
  for (const std::string& word : words) {
    std::size_t start = 0;
    while (start <= word.size()) {
      std::size_t comma = std::min(word.find(',', start), word.size());
      const std::string token = AsciiLower(word.substr(start, comma - start));
      start = comma + 1;
      if (token.empty()) continue;
      if (token == "all") {
        for (int i = 0; i < kRepairItemCount; ++i) {
          if (!forRepair || !kRepairItems[i].steps.empty()) items.insert(i);  // the managers have commands of their own
        }
        continue;
      }
      int found = -1;
      for (int i = 0; i < kRepairItemCount; ++i) {
        if (token == kRepairItems[i].name || token == std::to_string(i)) found = i;
      }
      if (found < 0 || (forRepair && kRepairItems[found].steps.empty())) {
        error = found < 0 ? token : kRepairItems[found].name;
        return std::nullopt;
      }
      items.insert(found);
    }
  }
  if (items.empty()) {
    error.clear();
    return std::nullopt;
  }
  return std::vector<int>(items.begin(), items.end());
}

}  // namespace orvane::cli

#pragma once
// The console program's command line.
#include <optional>
#include <string>
#include <vector>

namespace orvane::cli {

struct Args {
  std::string command;              // scan, repair, undo, menuext, guard, help
  std::vector<std::string> rest;    // what follows the command, options removed
  bool json = false;
  bool stop = false;  // guard --stop
  std::optional<std::string> config;
};

// nullopt and `error` set on a malformed line.
std::optional<Args> ParseArgs(const std::vector<std::string>& args, std::string& error);

// Row numbers in ascending order from "0", "start-page", "1,2", "all". nullopt on an unknown one.
std::optional<std::vector<int>> ParseItems(const std::vector<std::string>& words, std::string& error);

}  // namespace orvane::cli

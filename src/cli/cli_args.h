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
  bool allUsers = false;  // --all-users: every signed-in user's hive
  bool stop = false;  // guard --stop
  std::optional<std::string> config;
};

// nullopt and `error` set on a malformed line.
std::optional<Args> ParseArgs(const std::vector<std::string>& args, std::string& error);
// Whether --json is on the line, also when the line is otherwise malformed.
bool WantsJson(const std::vector<std::string>& args);

// Row numbers in ascending order from "0", "Start-Page", "1,2", "ALL", any case.
// nullopt with `error` set on an unknown word, and with `error` empty when no
// item is named at all ("", ","). For a repair, `all` leaves out the
// context-menu manager and naming it is an error ("menu-ext").
std::optional<std::vector<int>> ParseItems(const std::vector<std::string>& words, std::string& error,
                                           bool forRepair = false);

}  // namespace orvane::cli

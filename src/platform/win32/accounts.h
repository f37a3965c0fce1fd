#pragma once
// Who the program runs as, and the names of accounts.
#include <optional>
#include <string>

namespace orvane {

// Whether this process runs as LocalSystem (S-1-5-18).
bool RunningAsSystem();

// "DOMAIN\name" of a SID such as "S-1-5-21-...", when it resolves.
std::optional<std::string> AccountOfSid(const std::string& sid);

}  // namespace orvane

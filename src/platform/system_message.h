#pragma once
// The system's own words for a Windows error code.
#include <string>

namespace orvane {

// The message in the user's language, without its line end ("" when there is none).
std::string SystemMessage(long code);

}  // namespace orvane

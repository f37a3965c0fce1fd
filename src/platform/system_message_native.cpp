#include "platform/system_message.h"

namespace orvane {

// The host has no message table; the code alone is shown.
std::string SystemMessage(long) { return {}; }

}  // namespace orvane

#pragma once
// The guard's system side on Windows: a named event per user, which only
// that user and administrators may open, says a guard runs and stops it. A
// name someone else holds is passed over for a stand-in that --stop tries too.
#include <memory>

#include "cli/guard.h"

namespace orvane::cli {

std::unique_ptr<GuardHost> MakeWin32GuardHost();

}  // namespace orvane::cli

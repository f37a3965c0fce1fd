#pragma once
// `orvane-cli guard ITEMS`: lock mode without a window, until `guard --stop`,
// Ctrl+C or the end of the process. One guard per user.
#include <cstdint>
#include <functional>
#include <vector>

#include "cli/cli.h"
#include "settings/app_config.h"

namespace orvane::cli {

// How many names a guard may go by: one, and stand-ins for a name someone else holds.
constexpr unsigned kGuardNames = 4;

// What the guard needs of the system.
class GuardHost {
 public:
  virtual ~GuardHost() = default;
  // Takes the user's guard name; false when another guard holds it.
  virtual bool Claim() = 0;
  // Asks the running guard to stop; false when none runs.
  virtual bool SignalStop() = 0;
  // Names that the last Claim() or SignalStop() found held by someone who
  // may not hold them (not this user, nor administrators): passed over.
  virtual unsigned Squatted() const { return 0; }
  // A function any thread may call with a watch's id: Wait() returns it.
  virtual std::function<void(std::uint32_t)> Poster() = 0;
  struct Wake {
    bool stop = false;
    std::vector<std::uint32_t> changed;  // watches that fired
  };
  // Returns when a watch fires, a stop is asked for, or `milliseconds` pass.
  virtual Wake Wait(unsigned milliseconds) = 0;
  virtual std::uint64_t NowMilliseconds() = 0;  // a steady clock
};

// `everyUser`: per-user steps are held in every signed-in user's hive.
int RunGuard(const std::vector<int>& items, bool everyUser, Services& services, const AppConfig& config, Console& out);
int StopGuard(Services& services, Console& out);

}  // namespace orvane::cli

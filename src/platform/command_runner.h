#pragma once
// Starts command lines as new processes without waiting for them.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace orvane {

constexpr int kShowMinimized = 2;  // SW_SHOWMINIMIZED: minimized and activated

// Identifies a started process without keeping a handle to it.
struct StartedProcess {
  std::uint32_t pid = 0;
  std::uint64_t creationTime = 0;  // guards against a reused process id
  bool operator==(const StartedProcess&) const = default;
};

class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  // Empty when the program cannot be started. A registration of a library
  // that is not there starts nothing and is no failure: pid 0.
  virtual std::optional<StartedProcess> Start(std::string_view commandLine, int showWindow) = 0;
  virtual bool IsRunning(const StartedProcess& process) = 0;
  // Runs `ended` once, on any thread, with the exit code when the process
  // ends, or with nullopt when it has not ended after `timeoutMs`. False
  // when the process cannot be followed (`ended` never runs).
  virtual bool WhenEnded(const StartedProcess& /*process*/, unsigned /*timeoutMs*/,
                         std::function<void(std::optional<std::uint32_t>)> /*ended*/) {
    return false;
  }
};

}  // namespace orvane

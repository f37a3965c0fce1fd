#pragma once
// A CommandRunner that records command lines instead of starting them.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/command_runner.h"

namespace orvane::testing {

class RecordingCommandRunner : public CommandRunner {
 public:
  struct Call {
    std::string commandLine;
    int showWindow;
  };
  std::vector<Call> calls;            // every Start, in order, also the failed ones
  std::set<std::string> unstartable;  // first words that cannot be started
  std::set<std::uint32_t> running;    // pids that IsRunning reports as alive
  bool keepRunning = false;           // new processes stay in `running`
  bool follow = false;                // WhenEnded keeps `ended` until End()
  std::map<std::uint32_t, std::function<void(std::optional<std::uint32_t>)>> followed;  // by pid

  std::optional<StartedProcess> Start(std::string_view commandLine, int showWindow) override {
    calls.push_back({std::string(commandLine), showWindow});
    std::string first(commandLine.substr(0, commandLine.find(' ')));
    if (unstartable.count(first)) return std::nullopt;
    StartedProcess process{nextPid_++, 1000u + nextPid_};
    if (keepRunning) running.insert(process.pid);
    return process;
  }
  bool IsRunning(const StartedProcess& process) override { return running.count(process.pid) > 0; }
  bool WhenEnded(const StartedProcess& p, unsigned, std::function<void(std::optional<std::uint32_t>)> ended) override {
    return follow && followed.emplace(p.pid, std::move(ended)).second;
  }
  // The process ends with `code` (nullopt: no answer in time).
  void End(std::uint32_t pid, std::optional<std::uint32_t> code) { running.erase(pid); followed.extract(pid).mapped()(code); }

 private:
  std::uint32_t nextPid_ = 100;
};

}  // namespace orvane::testing

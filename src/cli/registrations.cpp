#include "cli/registrations.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>

#include "resources/catalogue.h"

namespace orvane::cli {

std::vector<RegistrationProblem> AwaitRegistrations(CommandRunner& commands, const RunReport& report,
                                                    const std::vector<StartedProcess>& started) {
  struct Ends {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t awaited = 0;
    std::vector<std::pair<std::string, std::optional<std::uint32_t>>> ends;
  };
  auto ends = std::make_shared<Ends>();
  std::size_t next = 0;
  for (std::size_t i = 0; i < report.targets.size() && next < started.size(); ++i) {
    if (report.targets[i].kind != StepKind::Command || report.outcomes[i].outcome != Outcome::Done) continue;
    const StartedProcess& process = started[next++];
    if (process.pid == 0) continue;  // nothing to register
    {
      std::lock_guard<std::mutex> lock(ends->mutex);
      ++ends->awaited;
    }
    const std::string command = report.targets[i].command;
    const bool followed = commands.WhenEnded(process, 60000, [ends, command](std::optional<std::uint32_t> code) {
      std::lock_guard<std::mutex> lock(ends->mutex);
      ends->ends.emplace_back(command, code);
      ends->changed.notify_all();
    });
    if (!followed) {
      std::lock_guard<std::mutex> lock(ends->mutex);
      --ends->awaited;
    }
  }
  std::unique_lock<std::mutex> lock(ends->mutex);
  ends->changed.wait(lock, [&] { return ends->ends.size() == ends->awaited; });
  std::vector<RegistrationProblem> problems;
  for (const auto& [command, code] : ends->ends) {
    if (code != 0u) problems.push_back({command, code});
  }
  return problems;
}

std::string DescribeProblem(const RegistrationProblem& problem) {
  std::string text = LoadString(problem.exitCode ? 3505 : 3506);
  auto replace = [&text](std::string_view field, const std::string& with) {
    if (auto at = text.find(field); at != std::string::npos) text.replace(at, field.size(), with);
  };
  replace("{command}", problem.command);
  if (problem.exitCode) replace("{code}", std::to_string(*problem.exitCode));
  return text;
}

}  // namespace orvane::cli

#pragma once
// The console program waits for the registrations a repair started, so its
// exit code and report can say which failed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_runner.h"
#include "repair/steps.h"

namespace orvane::cli {

struct RegistrationProblem {
  std::string command;
  std::optional<std::uint32_t> exitCode;  // nullopt: no answer within 60 s
};

// Waits until every registration the run started has ended (each at most
// 60 s); returns those that failed or did not answer.
std::vector<RegistrationProblem> AwaitRegistrations(CommandRunner& commands, const RunReport& report,
                                                    const std::vector<StartedProcess>& started);
// "regsvr32 /s x.dll failed, exit code 3", in the program's language.
std::string DescribeProblem(const RegistrationProblem& problem);

}  // namespace orvane::cli

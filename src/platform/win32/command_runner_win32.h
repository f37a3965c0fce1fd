#pragma once
// Starts command lines with CreateProcessW, in the system folder; never waits
// for them.
#include <optional>
#include <string>
#include <string_view>

#include "platform/command_runner.h"

namespace orvane {

class Win32CommandRunner : public CommandRunner {
 public:
  std::optional<StartedProcess> Start(std::string_view commandLine, int showWindow) override;
  bool IsRunning(const StartedProcess& process) override;

  // The program file the command line's first word names, or empty when it
  // cannot be found. A bare name is looked up in the system directory, then
  // the Windows directory, never in the current folder or along PATH.
  static std::wstring ProgramPath(std::string_view commandLine);
  // The line as started: a registration names its library by full path.
  // nullopt when that library is not there.
  static std::optional<std::string> SafeCommandLine(std::string_view commandLine);
};

}  // namespace orvane

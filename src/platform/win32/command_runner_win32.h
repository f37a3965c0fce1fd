#pragma once
// Starts command lines with CreateProcessW, in the system folder; follows
// their end with a thread-pool wait, never by blocking.
#include <windows.h>

#include <atomic>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/command_runner.h"
#include "platform/win32/unique_handle.h"

namespace orvane {

class Win32CommandRunner : public CommandRunner {
 public:
  std::optional<StartedProcess> Start(std::string_view commandLine, int showWindow) override;
  bool IsRunning(const StartedProcess& process) override;
  bool WhenEnded(const StartedProcess& process, unsigned timeoutMs,
                 std::function<void(std::optional<std::uint32_t>)> ended) override;

  // The program file the command line's first word names, or empty when it
  // cannot be found. A bare name is looked up in the system directory, then
  // the Windows directory, never in the current folder or along PATH.
  static std::wstring ProgramPath(std::string_view commandLine);
  // The line as started: a registration names its library by full path.
  // nullopt when that library is not there.
  static std::optional<std::string> SafeCommandLine(std::string_view commandLine);

 private:
  struct Follower {
    UniqueKernelHandle process;
    std::function<void(std::optional<std::uint32_t>)> ended;
    std::atomic<bool> done{false};
    UniquePoolWait wait;  // last member, so first to go: no callback runs after it
  };
  static void CALLBACK OnEnded(void* context, BOOLEAN timedOut);

  std::map<std::uint32_t, UniqueKernelHandle> started_;  // by process id, until followed
  std::list<Follower> followers_;
};

}  // namespace orvane

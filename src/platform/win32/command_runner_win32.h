#pragma once
// Starts command lines with CreateProcessW, in the system folder; follows
// their end with a thread-pool wait, never by blocking. On 64-bit Windows a
// registration also starts the 32-bit system folder's regsvr32 when that
// folder holds the library too; the pair counts as one process, ended when
// both have, failed when either failed.
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
  struct Follower;
  struct Wait {
    Follower* owner;
    UniqueKernelHandle process;
    UniquePoolWait wait;  // last member, so first to go: no callback runs after it
  };
  struct Follower {
    std::function<void(std::optional<std::uint32_t>)> ended;
    std::mutex mutex;
    unsigned waiting = 0;                  // processes not ended yet
    std::optional<std::uint32_t> code = 0u;  // the first failure
    std::atomic<bool> done{false};
    std::list<Wait> waits;  // last member: its waits go first
  };
  struct Started {
    UniqueKernelHandle process;
    UniqueKernelHandle companion;  // the 32-bit registration, when one was started
    std::uint32_t companionError = 0;  // it was due but could not start: why
  };
  static void CALLBACK OnEnded(void* context, BOOLEAN timedOut);
  static void Account(Follower& follower, std::optional<std::uint32_t> code);
  static bool IsAlive(const StartedProcess& process);

  std::map<std::uint32_t, Started> started_;  // by process id, until followed
  // Each registration's 32-bit companion, while it may run.
  std::map<std::pair<std::uint32_t, std::uint64_t>, StartedProcess> companions_;
  std::list<Follower> followers_;
};

}  // namespace orvane

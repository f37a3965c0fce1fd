#include "cli/guard.h"

#include <algorithm>

#include "repair/runner.h"
#include "resources/catalogue.h"

namespace orvane::cli {
namespace {

constexpr std::uint16_t kGuardStarted = 3500;
constexpr std::uint16_t kGuardRunning = 3501;
constexpr std::uint16_t kGuardStopped = 3502;
constexpr std::uint16_t kNoGuard = 3503;
constexpr std::uint16_t kGuardNameSquatted = 3530;
constexpr std::uint16_t kGuardNamesSquatted = 3531;
constexpr unsigned kTickMilliseconds = 100;

// The rows are the guarded items; results and messages go nowhere: the
// restores are in the lock log.
class GuardView : public RunnerView {
 public:
  GuardView(const std::vector<int>& items, GuardHost& host) : items_(items), host_(host) {}
  bool RowTicked(int row) override { return std::count(items_.begin(), items_.end(), row) > 0; }
  void SetResultColor(int, std::uint32_t) override {}
  void SetResultCaption(int, const std::string&) override {}
  void ShowResult(int) override {}
  void SetRepairButtonEnabled(bool) override {}
  bool LockTicked() override { return true; }
  void SetTimerEnabled(bool) override {}
  std::function<void(std::uint32_t)> KeyChangePoster() override { return host_.Poster(); }
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  void ShowMenuManager() override {}
  std::vector<PolicyLine> ShowBrowserManager() override { return {}; }
  void ProcessPendingEvents() override {}
  void RepaintPending() override {}

 private:
  const std::vector<int>& items_;
  GuardHost& host_;
};

void WarnSquatted(const GuardHost& host, Console& out) {
  if (host.Squatted() == 0) return;
  out.Warn(LoadString(kGuardNameSquatted) + "\n");
}

}  // namespace

int RunGuard(const std::vector<int>& items, bool everyUser, Services& services, const AppConfig& config, Console& out) {
  GuardHost& host = *services.guard;
  const bool claimed = host.Claim();
  WarnSquatted(host, out);
  if (!claimed) {
    out.Write(LoadString(host.Squatted() >= kGuardNames ? kGuardNamesSquatted : kGuardRunning) + "\n", false);
    return kExitError;
  }
  out.Write(LoadString(kGuardStarted) + "\n", false);
  GuardView view(items, host);
  {
    RepairRunner runner(view, services.registry, services.commands, config);
    runner.KeepJournal(services.files, services.version);
    if (everyUser) runner.EveryUser();
    std::uint64_t nextTick = host.NowMilliseconds();
    for (;;) {
      const std::uint64_t now = host.NowMilliseconds();
      if (now >= nextTick) {
        runner.OnTimerTick();
        nextTick = now + kTickMilliseconds;
        continue;
      }
      GuardHost::Wake wake = host.Wait(static_cast<unsigned>(nextTick - now));
      if (wake.stop) break;
      for (std::uint32_t id : wake.changed) runner.OnKeyChanged(id);
    }
  }  // the runner saves its log as it goes
  out.Write(LoadString(kGuardStopped) + "\n", false);
  return kExitOk;
}

int StopGuard(Services& services, Console& out) {
  const bool stopped = services.guard->SignalStop();
  WarnSquatted(*services.guard, out);
  if (stopped) return kExitOk;
  out.Write(LoadString(kNoGuard) + "\n", false);
  return kExitProblem;
}

}  // namespace orvane::cli

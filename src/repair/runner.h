#pragma once
// The repair button, the item table and the lock timer of the main window.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>
#include <span>
#include <string>
#include <vector>

#include "browsers/scan.h"
#include "platform/command_runner.h"
#include "platform/file_store.h"
#include "platform/registry.h"
#include "repair/journal.h"
#include "repair/lock_mode.h"
#include "repair/repair_context.h"
#include "repair/runner_view.h"
#include "repair/steps.h"
#include "repair/users.h"
#include "settings/app_config.h"

namespace orvane {

struct RepairItemEntry {
  std::uint16_t textId;          // string of the item's row
  std::span<const Step> steps;   // empty: the item opens a manager (context menu, browsers)
  const char* name;              // short English name, for scripts
};

extern const std::array<RepairItemEntry, kRepairItemCount> kRepairItems;

constexpr std::uint32_t kResultGreen = 65280;
constexpr std::uint32_t kResultRed = 255;
constexpr std::uint32_t kCheckDamaged = 0x000050C0;  // orange, 4.9:1 on white
constexpr std::uint32_t kCheckGrey = 0x00696969;     // 5.5:1 on white

class RepairRunner : private LockMode::Host {
 public:
  // `config` is read each time a routine runs, so new settings apply at once.
  RepairRunner(RunnerView& view, RegistryService& registry, CommandRunner& commands,
               const AppConfig& config);
  ~RepairRunner() override;

  // Button runs back up what they change and log each step in `files`;
  // without this call they keep neither.
  void KeepJournal(FileStore& files, std::string version);
  // The person at the keyboard's SID when this process runs as another
  // account: the class keys that person overrides are checked, backed up and
  // repaired in their own classes as well.
  void AlsoUserClasses(std::string sid) { classesSid_ = std::move(sid); }
  // The browser row's check scans through these; without them it reads as unknown.
  void CheckBrowsersWith(BrowserServices browsers) { browsers_.emplace(browsers); }
  // Per-user steps go to every user hive loaded under HKEY_USERS instead of
  // this process's own (as SYSTEM it is nobody's); the timer lists the hives
  // again every few seconds, so a user who signs in is held as well.
  void EveryUser() {
    everyUser_ = true;
    users_ = LoadedUserHives(registry_);
  }

  void OnRepairButtonClick();
  // Reads every row's state into its result label; writes nothing.
  void CheckAllItems();
  // Turns lock mode off, restores the newest backup, checks every row and says how it went.
  void UndoLastRepair();
  // Lock mode (LockMode): the timer's tick and a changed key. Items due
  // during a button run wait and are applied after it.
  void OnTimerTick();
  // A watch's id, or the id that says registrations have ended.
  void OnKeyChanged(std::uint32_t watchId);
  // Changes lock mode found by reading that no watch had reported.
  unsigned MissedChanges() const { return lock_ ? lock_->Missed() : 0; }

  void RunRepairItem(int index);
  void ShowRepairResult(bool succeeded, int row);

 private:
  RunReport Apply(int item, bool withRegistrations) override;
  bool MayPass() override { return !buttonRunActive_; }
  bool StillRunning(int index) override;  // any process the item started is alive
  std::optional<bool> RegisteredBefore(int item) override;
  bool LockPassing() const { return lock_ && lock_->Passing(); }
  RunReport RunAndShow(int index);
  RunReport RunRoutine(int index);
  // The machine's part and each user's, applied one after the other.
  std::vector<std::vector<StepTarget>> Shares(int row);
  std::vector<StepTarget> Targets(int row) override;
  void HoldPolicies(const std::vector<PolicyLine>& lines);
  // The row's result, once every registration its last run started has ended.
  void ShowRow(int row);
  std::string RegistrationProblems(int row) const;
  bool RegistrationsRunning(int row) const;  // one the row's last run started has not ended
  void CheckBrowsers(int row);
  void ShowCheck(int row, const std::string& caption, std::uint32_t color, const std::string& tip);
  void StopLock();
  void NoteRestored(int row);
  std::string RestoredText(int row) const;
  void ForgetEnded(int index);
  void FollowRegistrations(int row, const RunReport& report, std::size_t firstStarted);
  void OnRegistrationsEnded();

  RunnerView& view_;
  RegistryService& registry_;
  CommandRunner& commands_;
  const AppConfig& config_;
  std::array<std::vector<StartedProcess>, kRepairItemCount> started_;
  FileStore* files_ = nullptr;
  std::optional<BrowserServices> browsers_;
  std::string version_;
  std::string classesSid_;
  bool everyUser_ = false;
  std::vector<std::string> users_;  // with everyUser_
  unsigned ticks_ = 0;
  RepairJournal* journal_ = nullptr;  // during a button run
  bool buttonRunActive_ = false;
  bool skipRegistrations_ = false;  // a lock pass re-applies an item whose registrations ran
  LockLog lockLog_{nullptr};
  std::unique_ptr<LockMode> lock_;  // while lock mode runs
  std::array<bool, kRepairItemCount> handedToLock_{};  // the button's run repaired it, lock mode to follow
  // The registrations a row's last run started, followed to their end.
  struct Registration {
    std::string command;
    bool ended = false;
    std::optional<std::uint32_t> exitCode;  // nullopt: no answer in time
  };
  std::array<std::vector<Registration>, kRepairItemCount> registrations_{};
  std::array<unsigned, kRepairItemCount> runsOfRow_{};  // tells a stale end from a current one
  // The row's steps as they last ran: all done, else the first refused one and why.
  struct StepsResult {
    bool succeeded = true;
    std::string reason;
  };
  std::array<StepsResult, kRepairItemCount> steps_{};
  struct Ended {
    std::mutex mutex;
    std::vector<std::tuple<int, unsigned, std::size_t, std::optional<std::uint32_t>>> ends;  // row, run, slot, code
  };
  std::shared_ptr<Ended> ended_ = std::make_shared<Ended>();
  struct Restored {
    unsigned count = 0;
    std::string last;
  };
  std::array<Restored, kRepairItemCount> restored_{};
  // Row 13's steps: the policy lines its manager removed in this session,
  // which lock mode keeps removed.
  std::vector<std::vector<StepTarget>> heldPolicies_;
};

}  // namespace orvane

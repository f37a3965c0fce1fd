#pragma once
// The repair button, the item table and the lock timer of the main window.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "browsers/scan.h"
#include "platform/command_runner.h"
#include "platform/file_store.h"
#include "platform/registry.h"
#include "repair/journal.h"
#include "repair/lock_watch.h"
#include "repair/repair_context.h"
#include "repair/runner_view.h"
#include "repair/steps.h"
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

class RepairRunner {
 public:
  // `config` is read each time a routine runs, so new settings apply at once.
  RepairRunner(RunnerView& view, RegistryService& registry, CommandRunner& commands,
               const AppConfig& config);

  // Button runs back up what they change and log each step in `files`;
  // without this call they keep neither.
  void KeepJournal(FileStore& files, std::string version);
  // The browser row's check scans through these; without them it reads as unknown.
  void CheckBrowsersWith(BrowserServices browsers) { browsers_.emplace(browsers); }

  void OnRepairButtonClick();
  // Reads every row's state into its result label; writes nothing.
  void CheckAllItems();
  // Turns lock mode off, restores the newest backup, checks every row and says how it went.
  void UndoLastRepair();
  // Lock mode: the timer's safety net follows ticks and unticks and
  // re-applies the items whose watches are not armed; a changed key
  // re-applies the items that touch it. Items due during a pass or a button
  // run wait in a set and are applied after it.
  void OnTimerTick();
  void OnKeyChanged(std::uint32_t watchId);

  void RunRepairItem(int index);
  void ShowRepairResult(bool succeeded, int row);

 private:
  RunReport RunRoutine(int index);
  void ShowReason(int row, const RunReport& report);
  void CheckBrowsers(int row);
  void ShowCheck(int row, const std::string& caption, std::uint32_t color, const std::string& tip);
  void StopLock();
  void DrainPending();
  void NoteRestored(int row);
  std::string RestoredText(int row) const;
  void ForgetEnded(int index);
  bool StillRunning(int index);  // any process the item started is alive

  RunnerView& view_;
  RegistryService& registry_;
  CommandRunner& commands_;
  const AppConfig& config_;
  std::array<std::vector<StartedProcess>, kRepairItemCount> started_;
  FileStore* files_ = nullptr;
  std::optional<BrowserServices> browsers_;
  std::string version_;
  RepairJournal* journal_ = nullptr;  // during a button run
  bool buttonRunActive_ = false;
  bool lockPassActive_ = false;
  unsigned buttonRuns_ = 0;
  std::unique_ptr<LockWatches> watches_;  // while lock mode runs
  std::array<bool, kRepairItemCount> locked_{};  // rows lock mode follows
  std::set<int> pending_;  // rows to re-apply
  struct Restored {
    unsigned count = 0;
    std::string last;
  };
  std::array<Restored, kRepairItemCount> restored_{};
};

}  // namespace orvane

#include "repair/runner.h"

#include <algorithm>
#include <exception>

#include "menuext/menu_ext_entries.h"
#include "repair/check.h"
#include "repair/routines.h"
#include "repair/undo.h"
#include "repair/step_text.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {

constexpr std::uint16_t kNoItemTicked = 1000;
constexpr std::uint16_t kMessageCaption = 999;
constexpr std::uint16_t kRepairSucceeded = 1001;
constexpr std::uint16_t kRepairFailed = 1002;
constexpr std::uint16_t kRefusedToolTip = 3130;
constexpr std::uint16_t kDamagedText = 3110;
constexpr std::uint16_t kIntactText = 3111;
constexpr std::uint16_t kUnknownText = 3112;
constexpr std::uint16_t kIntactUncheckedText = 3113;
constexpr std::uint16_t kExtensionsText = 3114;
constexpr std::uint16_t kUndoneText = 3120;
constexpr std::uint16_t kUndoFailedText = 3121;
constexpr std::uint16_t kNoBackupText = 3122;
constexpr std::uint16_t kMalformedText = 3123;
constexpr std::uint16_t kNotCheckedText = 3224;
constexpr std::uint16_t kRestoredText = 3401;

bool HasCommands(std::span<const Step> steps) {
  for (const Step& step : steps) {
    if (step.kind == StepKind::Command) return true;
  }
  return false;
}

// "2026-12-06_14-03-27" -> "2026-12-06 14:03:27".
std::string ReadableTime(std::string stamp) {
  for (std::size_t i = 0; i < stamp.size(); ++i) {
    if (stamp[i] == '_') stamp[i] = ' ';
    else if (stamp[i] == '-' && i > 10) stamp[i] = ':';
  }
  return stamp;
}

std::string Replace(std::string text, std::string_view field, const std::string& with) {
  std::size_t at = text.find(field);
  if (at != std::string::npos) text.replace(at, field.size(), with);
  return text;
}

}  // namespace

const std::array<RepairItemEntry, kRepairItemCount> kRepairItems = {{
    {101, kNetworkAccessSteps, "network"},
    {102, kHiddenFilesSteps, "hidden-files"},
    {103, kSafeModeSteps, "safe-mode"},
    {104, kShortcutsSteps, "shortcuts"},
    {105, kFolderOpenSteps, "folder-open"},
    {106, kMyComputerSteps, "my-computer"},
    {107, kGroupPolicySteps, "group-policy"},
    {108, kStartPageSteps, "start-page"},
    {109, kWindowTitleSteps, "window-title"},
    {110, kHomeButtonSteps, "home-button"},
    {111, {}, "menu-ext"},  // the context-menu manager
    {112, kSearchPageSteps, "search-page"},
    {113, kLogonNoticeSteps, "logon-notice"},
    {114, {}, "browsers"},  // the browser start-page manager
}};

RepairRunner::RepairRunner(RunnerView& view, RegistryService& registry, CommandRunner& commands,
                           const AppConfig& config)
    : view_(view), registry_(registry), commands_(commands), config_(config) {}

void RepairRunner::KeepJournal(FileStore& files, std::string version) {
  files_ = &files;
  version_ = std::move(version);
}

void RepairRunner::OnRepairButtonClick() {
  if (buttonRunActive_) return;  // the button is disabled during a run
  view_.SetTimerEnabled(false);
  StopLock();

  bool anyTicked = false;
  for (int row = 0; row < kRepairItemCount && !anyTicked; ++row) anyTicked = view_.RowTicked(row);
  if (!anyTicked) {
    view_.ShowMessage(LoadString(kNoItemTicked), LoadString(kMessageCaption),
                      MessageIcon::Information);
    return;
  }

  buttonRunActive_ = true;
  ++buttonRuns_;
  view_.SetRepairButtonEnabled(false);
  std::optional<RepairJournal> journal;
  if (files_) {
    journal.emplace(*files_, registry_, version_, config_);
    for (int row = 0; row < kRepairItemCount; ++row) {
      if (view_.RowTicked(row)) journal->Protect(ResolveSteps(kRepairItems[row].steps, config_));
    }
    journal_ = &*journal;
  }
  for (int row = 0; row < kRepairItemCount; ++row) {
    if (view_.RowTicked(row)) RunRepairItem(row);
  }
  journal_ = nullptr;
  if (journal && journal->Refused()) {
    view_.ShowMessage(LoadString(3204) + journal->NoBackupText(), LoadString(kMessageCaption), MessageIcon::Information);
  }
  view_.SetRepairButtonEnabled(true);
  buttonRunActive_ = false;
  if (view_.LockTicked()) view_.SetTimerEnabled(true);
}

void RepairRunner::CheckAllItems() {
  for (int row = 0; row < kRepairItemCount; ++row) {
    if (row == kMenuManagerItem) {
      const std::size_t count = MenuExtNames(registry_).size();
      ShowCheck(row, Replace(LoadString(kExtensionsText), "{n}", std::to_string(count)), kCheckGrey, "");
      continue;
    }
    if (row == kBrowserManagerItem) {
      CheckBrowsers(row);
      continue;
    }
    const ItemCheck check = CheckSteps(kRepairItems[row].steps, registry_, config_);
    std::string tip;
    if (auto problem = check.FirstProblem()) {
      tip = DescribeStep(check.targets[*problem]) + "\r\n" + DescribeFound(check.steps[*problem]);
    } else if (check.commandsNotChecked) {
      tip = LoadString(kNotCheckedText);
    }
    switch (check.state) {
      case ItemState::Damaged: ShowCheck(row, LoadString(kDamagedText), kCheckDamaged, tip); break;
      case ItemState::Unknown: ShowCheck(row, LoadString(kUnknownText), kCheckGrey, tip); break;
      case ItemState::Intact:
        ShowCheck(row, LoadString(check.commandsNotChecked ? kIntactUncheckedText : kIntactText), kCheckGrey, tip);
        break;
    }
  }
}

// Anything found is damage; the tool tip names the first line.
void RepairRunner::CheckBrowsers(int row) {
  if (!browsers_) {
    ShowCheck(row, LoadString(kUnknownText), kCheckGrey, "");
    return;
  }
  const std::vector<BrowserFinding> findings = ScanBrowsers(*browsers_);
  if (findings.empty()) {
    ShowCheck(row, LoadString(kIntactText), kCheckGrey, "");
  } else {
    ShowCheck(row, LoadString(kDamagedText), kCheckDamaged, FindingText(findings.front()));
  }
}

void RepairRunner::ShowCheck(int row, const std::string& caption, std::uint32_t color, const std::string& tip) {
  view_.SetResultColor(row, color);
  view_.SetResultCaption(row, caption);
  view_.SetResultToolTip(row, tip);
  view_.ShowResult(row);
}

void RepairRunner::UndoLastRepair() {
  // Not inside a run or a lock pass: its remaining rows would write over the undo.
  if (buttonRunActive_ || lockPassActive_) return;
  view_.SetTimerEnabled(false);  // the lock would put the repair straight back
  StopLock();
  std::string text = LoadString(kNoBackupText);
  if (files_) {
    RepairContext context{registry_, commands_, config_};
    const UndoResult result = UndoBackup(*files_, context, version_);
    switch (result.status) {
      case UndoResult::Status::Restored: text = LoadString(kUndoneText); break;
      case UndoResult::Status::Failed: text = LoadString(kUndoFailedText) + result.logPath; break;
      case UndoResult::Status::Malformed:
        text = LoadString(kMalformedText) + result.file + "\r\n" + result.error;
        break;
      case UndoResult::Status::NoBackup: break;
    }
    // The rows' repair results no longer hold: show what is there now.
    if (result.status == UndoResult::Status::Restored || result.status == UndoResult::Status::Failed) {
      CheckAllItems();
    }
  }
  view_.ShowMessage(text, LoadString(kMessageCaption), MessageIcon::Information);
}

void RepairRunner::StopLock() {
  watches_.reset();
  locked_.fill(false);
  pending_.clear();
}

void RepairRunner::OnTimerTick() {
  if (!watches_) watches_ = std::make_unique<LockWatches>(registry_, view_.KeyChangePoster());
  for (int row = 0; row < kRepairItemCount; ++row) {
    const bool ticked = !kRepairItems[row].steps.empty() && view_.RowTicked(row);
    if (ticked != locked_[row]) {
      locked_[row] = ticked;
      if (ticked) pending_.insert(row);
      if (!ticked) watches_->Forget(row);
    }
    // Commands cannot be watched: they run again once the last ones have ended.
    if (ticked && (HasCommands(kRepairItems[row].steps) || !watches_->Armed(row))) pending_.insert(row);
  }
  DrainPending();
}

void RepairRunner::OnKeyChanged(std::uint32_t watchId) {
  if (!watches_) return;  // lock mode ended meanwhile
  for (int row : watches_->Fired(watchId)) pending_.insert(row);
  DrainPending();
}

// A pass runs alone: what falls due inside it, or inside a button run's
// modal loop, waits in the set for the end of the pass.
void RepairRunner::DrainPending() {
  if (lockPassActive_ || buttonRunActive_) return;
  lockPassActive_ = true;
  const unsigned runsBefore = buttonRuns_;
  while (!pending_.empty() && watches_ && buttonRuns_ == runsBefore) {
    const int row = *pending_.begin();
    pending_.erase(pending_.begin());
    if (!locked_[row] || StillRunning(row)) continue;
    // Armed before the item runs, so no change after it goes unseen. A key
    // the item creates fires its parent's watch, and is watched then.
    watches_->Watch(row, ResolveSteps(kRepairItems[row].steps, config_));
    RunRepairItem(row);
  }
  lockPassActive_ = false;
}

void RepairRunner::NoteRestored(int row) {
  restored_[row].count++;
  restored_[row].last = files_ ? ReadableTime(files_->LocalTimeStamp()) : "";
}

std::string RepairRunner::RestoredText(int row) const {
  if (restored_[row].count == 0) return "";
  return Replace(Replace(LoadString(kRestoredText), "{n}", std::to_string(restored_[row].count)), "{time}",
                 restored_[row].last);
}

void RepairRunner::RunRepairItem(int index) {
  if (index < 0 || index >= kRepairItemCount) return;
  if (index == kBrowserManagerItem) {
    view_.ShowBrowserManager();
  } else if (kRepairItems[index].steps.empty()) {
    view_.ShowMenuManager();
  } else {
    // A row ticked during the run is backed up before it runs (already covered: no change).
    if (journal_) journal_->Protect(ResolveSteps(kRepairItems[index].steps, config_));
    RunReport report = RunRoutine(index);
    if (journal_) {
      journal_->Record("[" + std::to_string(index) + "] " + LoadString(kRepairItems[index].textId) + " - " +
                           LoadString(report.Succeeded() ? kRepairSucceeded : kRepairFailed),
                       report);
    }
    if (lockPassActive_ && report.Wrote()) NoteRestored(index);
    ShowRepairResult(report.Succeeded(), index);
    ShowReason(index, report);
  }
  // Input that arrives during a lock pass waits until the pass is over: a click
  // that opens a modal loop here would hold the pass, and lock mode, inside it.
  if (lockPassActive_) {
    view_.RepaintPending();
  } else {
    view_.ProcessPendingEvents();
  }
}

void RepairRunner::ShowRepairResult(bool succeeded, int row) {
  view_.SetResultColor(row, succeeded ? kResultGreen : kResultRed);
  view_.SetResultCaption(row, LoadString(succeeded ? kRepairSucceeded : kRepairFailed));
  view_.ShowResult(row);
}

// A red row names its first refused step and the reason.
void RepairRunner::ShowReason(int row, const RunReport& report) {
  std::optional<std::size_t> failed = report.FirstFailure();
  std::string tip = RestoredText(row);
  if (failed) {
    const StepOutcome& outcome = report.outcomes[*failed];
    std::string reason = outcome.outcome == Outcome::Refused || outcome.outcome == Outcome::NoKey
                             ? DescribeError(outcome.code) : DescribeOutcome(outcome);
    tip = Replace(Replace(LoadString(kRefusedToolTip), "{step}", DescribeStep(report.targets[*failed])),
                  "{reason}", reason) + (tip.empty() ? "" : "\r\n" + tip);
  }
  view_.SetResultToolTip(row, tip);
}

RunReport RepairRunner::RunRoutine(int index) {
  ForgetEnded(index);
  RepairContext context{registry_, commands_, config_, &started_[index]};
  try {
    return RunSteps(kRepairItems[index].steps, context);
  } catch (const std::exception&) {
    // An unexpected fault ends the routine as a failure: its steps read as not run.
    RunReport report{ResolveSteps(kRepairItems[index].steps, config_), {}};
    report.outcomes.resize(report.targets.size());
    return report;
  }
}

// Keeps the list short: only processes still alive stay in it.
void RepairRunner::ForgetEnded(int index) {
  std::erase_if(started_[index],
                [this](const StartedProcess& p) { return !commands_.IsRunning(p); });
}

bool RepairRunner::StillRunning(int index) {
  ForgetEnded(index);
  return !started_[index].empty();
}

}  // namespace orvane

#include "repair/runner.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "menuext/menu_ext_entries.h"
#include "platform/text.h"
#include "repair/check.h"
#include "repair/journal.h"
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
constexpr std::uint16_t kRegistrationFailed = 3505;
constexpr std::uint16_t kRegistrationNoAnswer = 3506;
constexpr std::uint16_t kRegisteringText = 3510;
constexpr unsigned kNoAnswerMilliseconds = 60000;
constexpr std::uint32_t kRegistrationsEndedId = 0;  // never a watch's id
constexpr unsigned kUserListTicks = 20;  // the user hives are listed again every 2 s

// Stands in for the command runner once an item's registrations have run in
// lock mode: they are not started again on every change.
class NoCommands : public CommandRunner {
 public:
  std::optional<StartedProcess> Start(std::string_view, int) override { return StartedProcess{}; }
  bool IsRunning(const StartedProcess&) override { return false; }
};

std::string Replace(std::string text, std::string_view field, const std::string& with) {
  std::size_t at = text.find(field);
  if (at != std::string::npos) text.replace(at, field.size(), with);
  return text;
}

// A policy line is named by its last step: the value or key it removes.
bool SameLine(const std::vector<StepTarget>& a, const std::vector<StepTarget>& b) {
  const StepTarget &x = a.back(), &y = b.back();
  return x.kind == y.kind && x.root == y.root && x.view == y.view && EqualsNoCase(x.path, y.path) &&
         EqualsNoCase(x.name, y.name);
}

void Append(ItemCheck& check, ItemCheck more) {
  if (more.state == ItemState::Damaged || check.state == ItemState::Intact) check.state = more.state;
  check.targets.insert(check.targets.end(), more.targets.begin(), more.targets.end());
  check.steps.insert(check.steps.end(), more.steps.begin(), more.steps.end());
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

RepairRunner::~RepairRunner() = default;  // the lock log saves itself

void RepairRunner::KeepJournal(FileStore& files, std::string version) {
  files_ = &files;
  version_ = std::move(version);
  lockLog_.SetFiles(files);
}

void RepairRunner::OnRepairButtonClick() {
  // The button is disabled during a run; input waits during a lock pass.
  if (buttonRunActive_ || LockPassing()) return;
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
  view_.SetRepairButtonEnabled(false);
  std::optional<RepairJournal> journal;
  if (files_) {
    journal.emplace(*files_, registry_, version_, config_);
    for (int row = 0; row < kRepairItemCount; ++row) {
      // The browser manager backs up its own cleaning.
      if (view_.RowTicked(row) && row != kBrowserManagerItem) journal->Protect(Targets(row));
    }
    journal_ = &*journal;
  }
  for (int row = 0; row < kRepairItemCount; ++row) {
    if (!view_.RowTicked(row)) continue;
    RunRepairItem(row);
    handedToLock_[row] = true;
  }
  journal_ = nullptr;
  if (journal && journal->Refused()) {
    view_.ShowMessage(LoadString(3204) + journal->NoBackupText(), LoadString(kMessageCaption), MessageIcon::Information);
  }
  view_.SetRepairButtonEnabled(true);
  buttonRunActive_ = false;
  if (view_.LockTicked()) {
    view_.SetTimerEnabled(true);
  } else {
    handedToLock_ = {};
  }
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
    std::vector<std::vector<StepTarget>> shares = Shares(row);
    ItemCheck check = CheckTargets(std::move(shares[0]), registry_);
    for (std::size_t i = 1; i < shares.size(); ++i) Append(check, CheckTargets(std::move(shares[i]), registry_));
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
  if (buttonRunActive_ || LockPassing()) return;
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
    // The rows' repair results no longer hold: show what is there now. What the
    // browser manager removed may be back by the person's wish: no longer held.
    if (result.status == UndoResult::Status::Restored || result.status == UndoResult::Status::Failed) {
      heldPolicies_.clear();
      CheckAllItems();
    }
  }
  view_.ShowMessage(text, LoadString(kMessageCaption), MessageIcon::Information);
}

void RepairRunner::StopLock() {
  lock_.reset();
  handedToLock_ = {};
  lockLog_.Flush();
}

void RepairRunner::OnTimerTick() {
  if (!lock_) {
    LockMode::Host& host = *this;
    lock_ = std::make_unique<LockMode>(registry_, config_, lockLog_, view_.KeyChangePoster(), host);
  }
  if (everyUser_ && ++ticks_ % kUserListTicks == 0) {
    std::vector<std::string> users = LoadedUserHives(registry_);
    if (users != users_) {
      users_ = std::move(users);
      lock_->Retarget();
    }
  }
  std::array<bool, kRepairItemCount> ticked{};
  for (int row = 0; row < kRepairItemCount; ++row) ticked[row] = row != kMenuManagerItem && view_.RowTicked(row);
  lock_->OnTick(ticked);
  handedToLock_ = {};  // taken by the rows locked now, and no later locking's
}

void RepairRunner::OnKeyChanged(std::uint32_t watchId) {
  if (watchId == kRegistrationsEndedId) return OnRegistrationsEnded();
  if (lock_) lock_->OnKeyChanged(watchId);  // else lock mode ended meanwhile
}

RunReport RepairRunner::Apply(int item, bool withRegistrations) {
  skipRegistrations_ = !withRegistrations;
  RunReport report = RunAndShow(item);
  skipRegistrations_ = false;
  return report;
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
  RunAndShow(index);
}

RunReport RepairRunner::RunAndShow(int index) {
  RunReport report;
  if (index == kBrowserManagerItem && !LockPassing()) {
    HoldPolicies(view_.ShowBrowserManager());
  } else if (index == kMenuManagerItem) {
    view_.ShowMenuManager();
  } else {
    // A row ticked during the run is backed up before it runs (already covered: no change).
    if (journal_) journal_->Protect(Targets(index));
    report = RunRoutine(index);
    if (journal_) {
      journal_->Record("[" + std::to_string(index) + "] " + LoadString(kRepairItems[index].textId) + " - " +
                           LoadString(report.Succeeded() ? kRepairSucceeded : kRepairFailed),
                       report);
    }
    if (LockPassing() && report.Wrote()) NoteRestored(index);
    steps_[index] = {report.Succeeded(), ""};
    if (std::optional<std::size_t> failed = report.FirstFailure()) {
      const StepOutcome& outcome = report.outcomes[*failed];
      std::string reason = outcome.outcome == Outcome::Refused || outcome.outcome == Outcome::NoKey
                               ? DescribeError(outcome.code) : DescribeOutcome(outcome);
      steps_[index].reason = Replace(Replace(LoadString(kRefusedToolTip), "{step}",
                                             DescribeStep(report.targets[*failed])), "{reason}", reason);
    }
    // The manager's row shows a result only once lock mode has done something there.
    if (index != kBrowserManagerItem || report.Wrote() || !report.Succeeded()) ShowRow(index);
  }
  // Input that arrives during a lock pass waits until the pass is over: a click
  // that opens a modal loop here would hold the pass, and lock mode, inside it.
  if (LockPassing()) {
    view_.RepaintPending();
  } else {
    view_.ProcessPendingEvents();
  }
  return report;
}

void RepairRunner::ShowRepairResult(bool succeeded, int row) {
  view_.SetResultColor(row, succeeded ? kResultGreen : kResultRed);
  view_.SetResultCaption(row, LoadString(succeeded ? kRepairSucceeded : kRepairFailed));
  view_.ShowResult(row);
}

// While registrations the row started are running it reads as running; then
// green, or red naming the refused step or the registrations that failed.
void RepairRunner::ShowRow(int row) {
  std::string tip = RestoredText(row);
  if (RegistrationsRunning(row)) {
    view_.SetResultColor(row, kCheckGrey);
    view_.SetResultCaption(row, LoadString(kRegisteringText));
    view_.SetResultToolTip(row, tip);
    view_.ShowResult(row);
    return;
  }
  const std::string problems = RegistrationProblems(row);
  for (const std::string& part : {problems, steps_[row].reason}) {
    if (!part.empty()) tip = part + (tip.empty() ? "" : "\r\n") + tip;
  }
  ShowRepairResult(steps_[row].succeeded && problems.empty(), row);
  view_.SetResultToolTip(row, tip);
}

bool RepairRunner::RegistrationsRunning(int row) const {
  return std::any_of(registrations_[row].begin(), registrations_[row].end(),
                     [](const Registration& r) { return !r.ended; });
}

// One line for each registration that failed or gave no answer.
std::string RepairRunner::RegistrationProblems(int row) const {
  std::string text;
  for (const Registration& r : registrations_[row]) {
    if (r.exitCode == 0u) continue;
    const std::string line = r.exitCode
        ? Replace(LoadString(kRegistrationFailed), "{code}", std::to_string(*r.exitCode))
        : LoadString(kRegistrationNoAnswer);
    text += (text.empty() ? "" : "\r\n") + Replace(line, "{command}", r.command);
  }
  return text;
}

RunReport RepairRunner::RunRoutine(int index) {
  ForgetEnded(index);
  static NoCommands noCommands;
  const bool skipCommands = skipRegistrations_;
  RepairContext context{registry_, skipCommands ? noCommands : commands_, config_, &started_[index]};
  const std::size_t firstStarted = started_[index].size();
  try {
    std::vector<std::vector<StepTarget>> shares = Shares(index);
    RunReport report = ApplyTargets(std::move(shares[0]), context);
    if (!skipCommands) FollowRegistrations(index, report, firstStarted);
    for (std::size_t i = 1; i < shares.size(); ++i) {
      RunReport mine = ApplyTargets(std::move(shares[i]), context);
      report.targets.insert(report.targets.end(), mine.targets.begin(), mine.targets.end());
      report.outcomes.insert(report.outcomes.end(), mine.outcomes.begin(), mine.outcomes.end());
    }
    return report;
  } catch (const std::exception&) {
    // An unexpected fault ends the routine as a failure: its steps read as not run.
    RunReport report{Targets(index), {}};
    report.outcomes.resize(report.targets.size());
    return report;
  }
}

// Each registration the run started is followed to its end without
// waiting; the window's thread hears of it as a watch id no watch has.
void RepairRunner::FollowRegistrations(int row, const RunReport& report, std::size_t firstStarted) {
  const unsigned run = ++runsOfRow_[row];
  registrations_[row].clear();
  std::function<void(std::uint32_t)> post = view_.KeyChangePoster();
  std::size_t next = firstStarted;
  for (std::size_t i = 0; post && i < report.targets.size() && next < started_[row].size(); ++i) {
    if (report.targets[i].kind != StepKind::Command || report.outcomes[i].outcome != Outcome::Done) continue;
    const StartedProcess process = started_[row][next++];
    if (process.pid == 0) continue;  // the library is not there: nothing to register
    const std::size_t slot = registrations_[row].size();
    registrations_[row].push_back({report.targets[i].command, false, std::nullopt});
    auto ended = [box = ended_, post, row, run, slot](std::optional<std::uint32_t> code) {
      {
        std::lock_guard<std::mutex> lock(box->mutex);
        box->ends.emplace_back(row, run, slot, code);
      }
      post(kRegistrationsEndedId);
    };
    if (!commands_.WhenEnded(process, kNoAnswerMilliseconds, ended)) registrations_[row].pop_back();
  }
}

// When a row's last registration has ended the row shows its result; one
// that failed or gave no answer turns it red, naming the command and its code.
void RepairRunner::OnRegistrationsEnded() {
  decltype(Ended::ends) ends;
  {
    std::lock_guard<std::mutex> lock(ended_->mutex);
    ends.swap(ended_->ends);
  }
  std::set<int> rows;
  for (const auto& [row, run, slot, code] : ends) {
    if (run != runsOfRow_[row] || slot >= registrations_[row].size()) continue;  // a later run replaced it
    registrations_[row][slot].ended = true;
    registrations_[row][slot].exitCode = code;
    rows.insert(row);
  }
  for (int row : rows) {
    if (RegistrationsRunning(row)) continue;
    ShowRow(row);
    const std::string problems = RegistrationProblems(row);
    if (!problems.empty()) lockLog_.Add("[" + std::to_string(row) + "] " + kRepairItems[row].name + ": " + problems);
    if (lock_) lock_->RegistrationsEnded(row, problems.empty());
  }
  lockLog_.Flush();
}

void RepairRunner::HoldPolicies(const std::vector<PolicyLine>& lines) {
  for (const PolicyLine& line : lines) {
    std::erase_if(heldPolicies_, [&](const std::vector<StepTarget>& held) { return SameLine(held, line.steps); });
    if (line.cleaned) heldPolicies_.push_back(line.steps);
  }
}

std::vector<std::vector<StepTarget>> RepairRunner::Shares(int row) {
  if (row == kBrowserManagerItem) {  // the keys as the manager found them, never another user's
    std::vector<StepTarget> targets;
    for (const std::vector<StepTarget>& line : heldPolicies_) targets.insert(targets.end(), line.begin(), line.end());
    return {std::move(targets)};
  }
  std::vector<StepTarget> targets = ResolveSteps(kRepairItems[row].steps, config_);
  std::vector<std::vector<StepTarget>> shares{everyUser_ ? MachineTargets(targets) : targets};
  if (everyUser_) {
    for (const std::string& sid : users_) shares.push_back(UserTargets(registry_, targets, sid));
  } else if (!classesSid_.empty()) {
    shares.push_back(UserClassTargets(registry_, targets, classesSid_));
  }
  return shares;
}

std::vector<StepTarget> RepairRunner::Targets(int row) {
  std::vector<StepTarget> targets;
  for (std::vector<StepTarget>& share : Shares(row)) targets.insert(targets.end(), share.begin(), share.end());
  return targets;
}

// Keeps the list short: only processes still alive stay in it.
void RepairRunner::ForgetEnded(int index) {
  std::erase_if(started_[index],
                [this](const StartedProcess& p) { return !commands_.IsRunning(p); });
}

std::optional<bool> RepairRunner::RegisteredBefore(int item) {
  if (!std::exchange(handedToLock_[item], false)) return std::nullopt;
  return !RegistrationsRunning(item) && RegistrationProblems(item).empty();
}

bool RepairRunner::StillRunning(int index) {
  ForgetEnded(index);
  return !started_[index].empty();
}

}  // namespace orvane

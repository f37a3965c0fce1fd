#include "repair/lock_mode.h"

#include <utility>

#include "repair/check.h"
#include "repair/journal.h"
#include "repair/runner.h"
#include "repair/step_text.h"

namespace orvane {
namespace {

constexpr unsigned kVerifySlots = 10;  // ticks over which every watched key is looked at once
constexpr unsigned kFlushTicks = 10;

std::string Label(int item) { return "[" + std::to_string(item) + "] " + kRepairItems[item].name + ": "; }

}  // namespace

std::string ReadableTime(std::string stamp) {
  for (std::size_t i = 0; i < stamp.size(); ++i) {
    if (stamp[i] == '_') stamp[i] = ' ';
    else if (stamp[i] == '-' && i > 10) stamp[i] = ':';
  }
  return stamp;
}

void LockLog::Add(const std::string& line) {
  if (!files_) return;
  pending_ += ReadableTime(files_->LocalTimeStamp()) + " " + line + "\r\n";
}

// The log is made new once, in the backups' folder, and added to through its own handle.
void LockLog::Flush() {
  if (!files_ || pending_.empty()) return;
  if (!file_) {
    const std::string folder = ChooseBackupFolder(*files_).folder;
    if (folder.empty()) return;
    const std::string stem = folder + "\\" + files_->LocalTimeStamp() + "-lock";
    for (int n = 1; n <= 8 && !file_; ++n) {
      CreateResult result = CreateResult::Failed;
      file_ = files_->CreateNew(stem + (n > 1 ? "_" + std::to_string(n) : "") + ".log", result);
      if (!file_ && result != CreateResult::Taken) return;
    }
    if (!file_) return;
  }
  if (file_->Append(pending_)) pending_.clear();
}

LockMode::LockMode(RegistryService& registry, const AppConfig& config, LockLog& log,
                   std::function<void(std::uint32_t)> post, Host& host)
    : registry_(registry), config_(config), log_(log), host_(host), watches_(registry, std::move(post)) {}

void LockMode::OnTick(const std::array<bool, kRepairItemCount>& ticked) {
  for (int item = 0; item < kRepairItemCount; ++item) {
    const bool locks = ticked[item] && item != kMenuManagerItem;
    if (locks != locked_[item]) {
      locked_[item] = locks;
      failed_[item] = registered_[item] = unreported_[item] = false;
      if (locks) pending_.insert(item);
      if (!locks) watches_.Forget(item);
    }
    if (locks && !watches_.Armed(item)) pending_.insert(item);
  }
  const unsigned slot = ticks_++ % kVerifySlots;
  for (int item = 0; item < kRepairItemCount; ++item) {
    if (unreported_[item] && ticks_ - foundAt_[item] > kVerifySlots) {
      unreported_[item] = false;
      ++missed_;
      log_.Add(Label(item) + "change missed by the watches (" + std::to_string(missed_) + ")");
    }
  }
  for (int item : watches_.Moved(slot, kVerifySlots)) Verify(item);
  if (ticks_ % kFlushTicks == 0) log_.Flush();
  Drain();
}

// The safety net: reads the values of a locked item whose key changed and
// puts back a difference. One that no watch has reported a second later was
// missed: counted and logged.
void LockMode::Verify(int item) {
  if (!locked_[item] || pending_.count(item) || failed_[item] || !watches_.Armed(item)) return;
  if (CheckTargets(host_.Targets(item), registry_).state != ItemState::Damaged) return;
  pending_.insert(item);
  unreported_[item] = true;
  foundAt_[item] = ticks_;
}

void LockMode::Retarget() {
  for (int item = 0; item < kRepairItemCount; ++item) {
    if (locked_[item]) pending_.insert(item);
  }
}

void LockMode::OnKeyChanged(std::uint32_t watchId) {
  for (int item : watches_.Fired(watchId)) {
    pending_.insert(item);
    unreported_[item] = false;
  }
  Drain();
}

// A pass runs alone: what falls due inside it, or while the host is busy,
// waits in the set for the end of the pass.
void LockMode::Drain() {
  if (passing_ || !host_.MayPass()) return;
  passing_ = true;
  while (!pending_.empty() && host_.MayPass()) {
    const int item = *pending_.begin();
    pending_.erase(pending_.begin());
    if (!locked_[item] || (!registered_[item] && host_.StillRunning(item))) continue;
    // Armed before the item runs, so no change after it goes unseen. A key
    // the item creates fires its parent's watch, and is watched then.
    watches_.Watch(item, host_.Targets(item));
    const RunReport report = host_.Apply(item, !registered_[item]);
    failed_[item] = !report.Succeeded();
    registered_[item] = true;
    if (!report.Wrote()) continue;
    std::string line = Label(item) + "restored";
    for (std::size_t i = 0; i < report.outcomes.size(); ++i) {
      const StepKind kind = report.targets[i].kind;
      if (report.outcomes[i].outcome != Outcome::Done || kind == StepKind::Key || kind == StepKind::Command) continue;
      line += "\r\n    " + DescribeStep(report.targets[i]);
    }
    log_.Add(line);
  }
  passing_ = false;
}

}  // namespace orvane

#include "browsers/clean.h"

#include "repair/file_copies.h"
#include "repair/step_text.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {
constexpr std::uint16_t kNotBackedUpText = 3954;
constexpr std::uint16_t kSucceededText = 3229;
constexpr std::uint16_t kFailedText = 3230;
}  // namespace

std::vector<StepTarget> FindingTargets(const BrowserFinding& finding) {
  if (finding.source != FindingSource::Policy || !finding.cleanable) return {};
  const PolicyHit& hit = finding.policy;
  if (hit.isKey) return {{.kind = StepKind::DeleteTree, .root = hit.root, .path = hit.keyPath + "\\" + hit.name}};
  return {{.kind = StepKind::Key, .root = hit.root, .path = hit.keyPath},
          {.kind = StepKind::DeleteValue, .root = hit.root, .path = hit.keyPath, .name = hit.name, .hasKey = true}};
}

std::vector<std::string> CleanFindings(BrowserServices& services, std::span<const BrowserFinding> findings,
                                       RepairJournal& journal) {
  std::vector<std::string> reasons;
  for (const BrowserFinding& finding : findings) {
    RunReport report{FindingTargets(finding), {}};
    journal.Protect(report.targets);
    std::string reason;
    long code = regerr::kSuccess;
    if (!report.targets.empty()) {
      code = RemovePolicyHit(services.registry, finding.policy);
      if (code != regerr::kSuccess) reason = DescribeError(code);
    } else if (!finding.file.empty() && finding.cleanable &&
               !KeepFileCopy(services.files, journal.BackupPath(), finding.file)) {
      reason = LoadString(kNotBackedUpText);
    } else {
      if (!finding.file.empty()) journal.NoteChange();  // its copy is the way back
      reason = CleanFinding(services, finding);
    }
    const StepOutcome outcome = code == regerr::kSuccess ? StepOutcome{Outcome::Done, 0} : StepOutcome{Outcome::Refused, code};
    report.outcomes.assign(report.targets.size(), outcome);
    journal.Record(FindingText(finding) + " - " + LoadString(reason.empty() ? kSucceededText : kFailedText) +
                       (reason.empty() ? "" : ": " + reason),
                   report);
    reasons.push_back(std::move(reason));
  }
  return reasons;
}

}  // namespace orvane

#include "browsers/frm_browsers.h"

#include "browsers/clean.h"
#include "resources/catalogue.h"

namespace orvane {

namespace {
constexpr std::uint16_t kTitleString = 3950;
constexpr std::uint16_t kInfoString = 3951;
constexpr std::uint16_t kNothingFoundString = 3910;
constexpr std::uint16_t kNotCleanedString = 3952;
constexpr std::uint16_t kProgramNameString = 999;
}  // namespace

frmBrowsers::frmBrowsers(AppServices& services, BrowserServices& browsers)
    : ListManagerForm(services, "frmBrowsers", "lstfound", kTitleString, kInfoString),
      lstfound(list),
      browsers_(browsers) {}

void frmBrowsers::Fill() {
  findings_ = ScanBrowsers(browsers_);
  lstfound.Clear();
  for (std::size_t i = 0; i < findings_.size(); ++i) {
    lstfound.AddItem(FindingText(findings_[i]));
    lstfound.SetSelected(static_cast<int>(i), true);
  }
  lblinfo.SetCaption(LoadString(findings_.empty() ? kNothingFoundString : kInfoString));
}

void frmBrowsers::CleanTicked() {
  std::vector<BrowserFinding> ticked;
  for (std::size_t i = 0; i < findings_.size(); ++i) {
    if (lstfound.Selected(static_cast<int>(i))) {
      ticked.push_back(findings_[i]);
    } else if (std::vector<StepTarget> steps = FindingTargets(findings_[i]); !steps.empty()) {
      policyLines_.push_back({std::move(steps), false});
    }
  }
  RepairJournal journal(browsers_.files, browsers_.registry, services_.version, services_.config);
  const std::vector<std::string> reasons = CleanFindings(browsers_, ticked, journal);
  std::string failures;
  for (std::size_t i = 0; i < ticked.size(); ++i) {
    if (!reasons[i].empty()) {
      failures += "\r\n" + FindingText(ticked[i]) + "\r\n    " + reasons[i];
    } else if (std::vector<StepTarget> steps = FindingTargets(ticked[i]); !steps.empty()) {
      policyLines_.push_back({std::move(steps), true});
    }
  }
  if (!failures.empty()) {
    services_.platform.MessageBox(LoadString(kNotCleanedString) + failures, LoadString(kProgramNameString),
                                  ui::MessageBoxIcon::None);
  }
}

}  // namespace orvane

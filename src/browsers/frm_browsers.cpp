#include "browsers/frm_browsers.h"

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
  std::string failures;
  for (std::size_t i = 0; i < findings_.size(); ++i) {
    if (!lstfound.Selected(static_cast<int>(i))) continue;
    const std::string reason = CleanFinding(browsers_, findings_[i]);
    if (!reason.empty()) failures += "\r\n" + FindingText(findings_[i]) + "\r\n    " + reason;
  }
  if (!failures.empty()) {
    services_.platform.MessageBox(LoadString(kNotCleanedString) + failures, LoadString(kProgramNameString),
                                  ui::MessageBoxIcon::None);
  }
}

}  // namespace orvane

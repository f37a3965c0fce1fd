#pragma once
// The browser start-page manager: lists the policies, policies.json entries
// and shortcuts that take today's browsers over, every line ticked, and
// cleans the ticked ones.
#include <vector>

#include "browsers/scan.h"
#include "menuext/list_frm.h"
#include "repair/runner_view.h"

namespace orvane {

class frmBrowsers : public ListManagerForm {
 public:
  frmBrowsers(AppServices& services, BrowserServices& browsers);

  ui::ListBox& lstfound;
  // The policy lines of every clean so far: removed, or left unticked.
  const std::vector<PolicyLine>& PolicyLines() const { return policyLines_; }

 private:
  void Fill() override;
  void CleanTicked() override;

  BrowserServices& browsers_;
  std::vector<BrowserFinding> findings_;  // one per line, in list order
  std::vector<PolicyLine> policyLines_;
};

}  // namespace orvane

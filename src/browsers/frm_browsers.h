#pragma once
// The browser start-page manager: lists the policies, policies.json entries
// and shortcuts that take today's browsers over, every line ticked, and
// cleans the ticked ones.
#include <vector>

#include "browsers/scan.h"
#include "menuext/list_frm.h"

namespace orvane {

class frmBrowsers : public ListManagerForm {
 public:
  frmBrowsers(AppServices& services, BrowserServices& browsers);

  ui::ListBox& lstfound;

 private:
  void Fill() override;
  void CleanTicked() override;

  BrowserServices& browsers_;
  std::vector<BrowserFinding> findings_;  // one per line, in list order
};

}  // namespace orvane

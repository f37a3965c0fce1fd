#pragma once
// The repair routines, one per item of the repair list (item 10 has none):
// each item's table of steps, and a routine that runs it.
#include <span>

#include "repair/repair_context.h"
#include "repair/steps.h"

namespace orvane {

extern const std::span<const Step> kNetworkAccessSteps;  // item 0
extern const std::span<const Step> kHiddenFilesSteps;    // item 1
extern const std::span<const Step> kSafeModeSteps;       // item 2
extern const std::span<const Step> kShortcutsSteps;      // item 3
extern const std::span<const Step> kFolderOpenSteps;     // item 4
extern const std::span<const Step> kMyComputerSteps;     // item 5
extern const std::span<const Step> kGroupPolicySteps;    // item 6
extern const std::span<const Step> kStartPageSteps;      // item 7
extern const std::span<const Step> kWindowTitleSteps;    // item 8
extern const std::span<const Step> kHomeButtonSteps;     // item 9
extern const std::span<const Step> kSearchPageSteps;     // item 11
extern const std::span<const Step> kLogonNoticeSteps;    // item 12

// Component registrations.
bool RepairNetworkAccess(RepairContext& context);  // item 0
bool RepairMyComputer(RepairContext& context);     // item 5

// The routines called by name (the settings dialog, the tests); the runner
// reads the tables above.
bool RepairFolderOpen(RepairContext& context);    // item 4
bool RepairStartPage(RepairContext& context);     // item 7
bool RepairHomeButton(RepairContext& context);    // item 9
bool RepairSearchPage(RepairContext& context);    // item 11

}  // namespace orvane

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

// Shell and system.
bool RepairHiddenFiles(RepairContext& context);   // item 1
bool RepairSafeMode(RepairContext& context);      // item 2
bool RepairShortcuts(RepairContext& context);     // item 3
bool RepairFolderOpen(RepairContext& context);    // item 4
bool RepairGroupPolicy(RepairContext& context);   // item 6

// Browser settings.
bool RepairStartPage(RepairContext& context);     // item 7
bool RepairWindowTitle(RepairContext& context);   // item 8
bool RepairHomeButton(RepairContext& context);    // item 9
bool RepairSearchPage(RepairContext& context);    // item 11
bool RepairLogonNotice(RepairContext& context);   // item 12

}  // namespace orvane

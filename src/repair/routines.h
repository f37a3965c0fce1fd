#pragma once
// The repair routines, one per item of the repair list (item 10 has none).
#include "repair/repair_context.h"

namespace orvane {

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

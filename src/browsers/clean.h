#pragma once
// Cleaning with a way back: before a line is touched, its policy value or key
// goes into the journal's backup and its shortcut or policies.json is copied
// whole beside it; every line is logged with how it went.
#include <span>
#include <string>
#include <vector>

#include "browsers/scan.h"
#include "repair/journal.h"

namespace orvane {

// The registry steps that remove a policy line (none for files and shortcuts).
std::vector<StepTarget> FindingTargets(const BrowserFinding& finding);

// Cleans each finding in turn; "" for each that went, otherwise the reason.
// A line whose file cannot be copied first is left as it is.
std::vector<std::string> CleanFindings(BrowserServices& services, std::span<const BrowserFinding> findings,
                                       RepairJournal& journal);

}  // namespace orvane

#pragma once
// Undo: restores a backup with Orvane's own importer. The whole file is checked
// first; what it will change is backed up first, so an undo can be undone.
// Component registrations are not undone.
#include <string>

#include "platform/file_store.h"
#include "repair/repair_context.h"
#include "repair/steps.h"

namespace orvane {

struct UndoResult {
  enum class Status { Restored, Failed, NoBackup, Malformed };
  Status status = Status::NoBackup;
  std::string file;         // the backup restored
  std::string error;        // Malformed: where and what
  RunReport report;         // each restored step
  std::string backupPath;   // the undo's own backup ("" when none)
  std::string logPath;
};

// `file` empty: the newest backup.
UndoResult UndoBackup(FileStore& files, RepairContext& context, const std::string& version,
                      std::string file = {});

}  // namespace orvane

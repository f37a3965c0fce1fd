#include "repair/undo.h"

#include "repair/journal.h"
#include "repair/reg_file.h"
#include "resources/catalogue.h"

namespace orvane {

UndoResult UndoBackup(FileStore& files, RepairContext& context, const std::string& version, std::string file) {
  UndoResult result;
  if (file.empty()) file = NewestBackup(files).value_or("");
  result.file = file;
  std::optional<std::string> bytes = file.empty() ? std::nullopt : files.ReadFile(file);
  if (!bytes) return result;
  std::optional<RegFile> parsed = ParseRegFile(*bytes, result.error);
  if (!parsed) {
    result.status = UndoResult::Status::Malformed;
    return result;
  }
  std::vector<StepTarget> targets = RegFileTargets(*parsed);
  RepairJournal journal(files, context.registry, version, context.config);
  journal.Protect(targets);
  result.report = ApplyTargets(std::move(targets), context);
  journal.Record(LoadString(3220) + file, result.report);
  result.status = result.report.Succeeded() ? UndoResult::Status::Restored : UndoResult::Status::Failed;
  result.backupPath = journal.BackupPath();
  result.logPath = journal.LogPath();
  return result;
}

}  // namespace orvane

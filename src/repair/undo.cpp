#include "repair/undo.h"

#include "repair/file_copies.h"
#include "repair/journal.h"
#include "repair/reg_file.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {

// The whole files kept with the backup go back as they were, each first kept
// as it is now with the undo's own backup. False when any could not be put back.
bool RestoreKeptFiles(FileStore& files, const std::string& backup, RepairJournal& journal) {
  bool ok = true;
  for (const KeptFile& kept : KeptFiles(files, backup)) {
    if (files.ReadFile(kept.path)) KeepFileCopy(files, journal.BackupPath(), kept.path);
    const std::optional<std::string> bytes = files.ReadFile(kept.copy);
    const bool restored = bytes && files.WriteFile(kept.path, *bytes);
    journal.Note("  " + LoadString(3953) + kept.path + "  ->  " + LoadString(restored ? 3213 : 3215));
    ok = ok && restored;
  }
  return ok;
}

}  // namespace

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
  const bool filesBack = RestoreKeptFiles(files, file, journal);
  result.status = result.report.Succeeded() && filesBack ? UndoResult::Status::Restored : UndoResult::Status::Failed;
  result.backupPath = journal.BackupPath();
  result.logPath = journal.LogPath();
  return result;
}

}  // namespace orvane

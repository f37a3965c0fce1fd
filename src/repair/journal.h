#pragma once
// The backup and the log of one run: a .reg file that puts back what the run
// changes, and a plain-text log of every step, one pair per run named by the
// local date and time, in %ProgramData%\Orvane\Backups, a folder only
// administrators may change, or for a process without administrator rights in
// the user's local application data (Orvane\Backups). When the folder fails
// its check or cannot be written the run goes on and no backup is claimed.
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/file_store.h"
#include "repair/backup.h"
#include "repair/steps.h"
#include "settings/app_config.h"

namespace orvane {

struct BackupPlace {
  std::string folder;   // "" when none
  std::string refused;  // why the machine's folder was not used
};
// Where this process writes its backups.
BackupPlace ChooseBackupFolder(FileStore& files);
// The folders undo reads: the machine's while it passes its check, the user's
// own only for a process without administrator rights.
std::vector<std::string> BackupFolders(FileStore& files);
// The newest backup of a run not yet undone, by the time written inside the
// files; an undo's own backups are not chosen. nullopt when there is none.
std::optional<std::string> NewestBackup(FileStore& files);

// A change made outside a repair run (the settings dialog, the context-menu
// manager), journaled like one when `files` is given: what the targets touch is
// backed up first, `apply` makes the change and reports it, the log records it
// under `title`, and undo gives it back.
RunReport JournaledChange(FileStore* files, RegistryService& registry, const std::string& version,
                          const AppConfig& config, const std::string& title, std::span<const StepTarget> targets,
                          const std::function<RunReport()>& apply);

class RepairJournal {
 public:
  RepairJournal(FileStore& files, RegistryService& registry, const std::string& version,
                const AppConfig& config);

  // Marks this journal's backup as an undo's own, of `file`. Call first.
  void Undoes(const std::string& file);
  // Adds what the targets will change to the backup and saves it. Call before they run.
  void Protect(std::span<const StepTarget> targets);
  // Appends a titled run to the log and saves it.
  void Record(const std::string& title, const RunReport& report);
  void Note(const std::string& line);
  // A change no report shows (a file kept beside the backup) was made: the backup stays.
  void NoteChange() { changed_ = true; }
  // Ends the run: the backup of a repair that changed nothing is removed, and
  // the log says so. Called by the destructor if not before.
  void Finish();
  ~RepairJournal() { Finish(); }

  const std::string& BackupPath() const { return backupPath_; }  // "" when none
  const std::string& LogPath() const { return logPath_; }
  // What to say in place of the backup's path when there is none.
  std::string NoBackupText() const;
  // The machine's folder failed its check: this run cannot be undone.
  bool Refused() const { return !place_.refused.empty(); }

 private:
  bool ChooseFolder();
  void Prune(const std::string& folder);
  void SaveLog();

  FileStore& files_;
  BackupBuilder backup_;
  std::unique_ptr<OwnFile> backupFile_, logFile_;
  std::string log_;
  std::string backupPath_, logPath_;
  std::string stamp_;  // names the pair and dates the log
  BackupPlace place_;
  bool chosen_ = false;
  bool changed_ = false, finished_ = false, undo_ = false;
  std::size_t saved_ = 0;  // entries in the backup file as last saved
};

}  // namespace orvane

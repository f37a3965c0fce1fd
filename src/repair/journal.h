#pragma once
// The backup and the log of one run: a .reg file that puts back what the run
// changes, and a plain-text log of every step, one pair per run named by the
// local date and time, in Backups beside the program or else in the user's
// local application data (Orvane\Backups). When neither can be written the
// run goes on and no backup is claimed.
#include <optional>
#include <span>
#include <string>

#include "platform/file_store.h"
#include "repair/backup.h"
#include "repair/steps.h"
#include "settings/app_config.h"

namespace orvane {

// The folders backups go to, in the order they are tried.
std::vector<std::string> BackupFolders(FileStore& files);
// The newest backup in either folder; nullopt when there is none.
std::optional<std::string> NewestBackup(FileStore& files);

class RepairJournal {
 public:
  RepairJournal(FileStore& files, RegistryService& registry, const std::string& version,
                const AppConfig& config);

  // Adds what the targets will change to the backup and saves it. Call before they run.
  void Protect(std::span<const StepTarget> targets);
  // Appends a titled run to the log and saves it.
  void Record(const std::string& title, const RunReport& report);
  void Note(const std::string& line);

  const std::string& BackupPath() const { return backupPath_; }  // "" when none
  const std::string& LogPath() const { return logPath_; }

 private:
  bool ChooseFolder();
  void SaveLog();

  FileStore& files_;
  BackupBuilder backup_;
  std::unique_ptr<OwnFile> backupFile_, logFile_;
  std::string log_;
  std::string backupPath_, logPath_;
  std::string stamp_;  // names the pair and dates the log
  bool chosen_ = false;
  std::size_t saved_ = 0;  // entries in the backup file as last saved
};

}  // namespace orvane

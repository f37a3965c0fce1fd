#include "repair/journal.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "platform/text.h"
#include "repair/step_text.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr int kNameAttempts = 1000;
constexpr std::size_t kRunsKept = 100;
constexpr std::uint16_t kNothingChanged = 3607;
constexpr std::uint16_t kNoWayBack = 3600;
constexpr std::uint16_t kFolderProblems = 3600;  // + FolderProblem

std::string Line(std::uint16_t label, const std::string& text) { return LoadString(label) + text + "\r\n"; }

// "_10" after "_9": runs of digits compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      std::string_view x = std::string_view(a).substr(i, ei - i), y = std::string_view(b).substr(j, ej - j);
      while (x.size() > 1 && x[0] == '0') x.remove_prefix(1);
      while (y.size() > 1 && y[0] == '0') y.remove_prefix(1);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = ei;
      j = ej;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

std::size_t Entries(const RegFile& file) {
  std::size_t n = file.keys.size();
  for (const RegFileKey& key : file.keys) n += key.values.size();
  return n;
}

}  // namespace

BackupPlace ChooseBackupFolder(FileStore& files) {
  BackupPlace place;
  if (!files.Elevated()) {
    const std::string local = files.LocalAppDataFolder();
    if (!local.empty() && files.CreateFolder(local + "\\Orvane\\Backups")) place.folder = local + "\\Orvane\\Backups";
    return place;
  }
  const std::string machine = files.MachineDataFolder();
  const FolderCheck check = machine.empty() ? FolderCheck{FolderProblem::NotFolder, "%ProgramData%"}
                                            : files.ProtectFolder(machine, {"Orvane", "Backups"});
  if (check.problem == FolderProblem::None) {
    place.folder = machine + "\\Orvane\\Backups";
  } else {
    place.refused = check.path + "  " + LoadString(kFolderProblems + static_cast<int>(check.problem));
  }
  return place;
}

std::vector<std::string> BackupFolders(FileStore& files) {
  std::vector<std::string> folders;
  const std::string machine = files.MachineDataFolder();
  if (!machine.empty() && files.ProtectFolder(machine, {"Orvane", "Backups"}).problem == FolderProblem::None) {
    folders.push_back(machine + "\\Orvane\\Backups");
  }
  const std::string local = files.LocalAppDataFolder();
  if (!files.Elevated() && !local.empty()) folders.push_back(local + "\\Orvane\\Backups");
  return folders;
}

std::optional<std::string> NewestBackup(FileStore& files) {
  struct Found {
    std::string time, name, path;
  };
  std::vector<Found> runs;
  std::set<std::string> undone;
  for (const std::string& folder : BackupFolders(files)) {
    for (const std::string& name : files.ListFiles(folder, ".reg")) {
      const std::string path = folder + "\\" + name;
      const RegFileHeader header = ReadRegFileHeader(files.ReadFile(path).value_or(""));
      if (header.undoes.empty()) {
        runs.push_back({header.time, name, path});
      } else {
        undone.insert(AsciiLower(header.undoes));
      }
    }
  }
  std::erase_if(runs, [&](const Found& run) { return undone.count(AsciiLower(run.path)); });
  auto older = [](const Found& a, const Found& b) {
    return a.time != b.time ? a.time < b.time : NaturalLess(a.name, b.name);
  };
  if (runs.empty()) return std::nullopt;
  return std::max_element(runs.begin(), runs.end(), older)->path;
}

RunReport JournaledChange(FileStore* files, RegistryService& registry, const std::string& version,
                          const AppConfig& config, const std::string& title, std::span<const StepTarget> targets,
                          const std::function<RunReport()>& apply) {
  if (!files) return apply();
  RepairJournal journal(*files, registry, version, config);
  journal.Protect(targets);
  RunReport report = apply();
  journal.Record(title, report);
  return report;
}

RepairJournal::RepairJournal(FileStore& files, RegistryService& registry, const std::string& version,
                             const AppConfig& config)
    : files_(files), backup_(registry), stamp_(files.LocalTimeStamp()) {
  backup_.Stamp(files.UniversalTime(), "");
  std::string shown = stamp_;
  std::replace(shown.begin(), shown.end(), '_', ' ');
  if (shown.size() >= 19) shown[13] = shown[16] = ':';
  log_ = LoadString(3200) + "\r\n" + Line(3201, shown) + Line(3202, version) +
         Line(3203, "HomePage=" + config.HomePage + "  SEO=" + config.SEO);
}

bool RepairJournal::ChooseFolder() {
  if (chosen_) return backupFile_ != nullptr;
  chosen_ = true;
  const std::string bytes = WriteRegFile(backup_.File());
  place_ = ChooseBackupFolder(files_);
  if (const std::string& folder = place_.folder; !folder.empty()) {
    // A name already there, whoever put it there, is left alone: the next one is tried.
    CreateResult made = CreateResult::Failed;
    for (int n = 1; n <= kNameAttempts; ++n) {
      const std::string base = folder + "\\" + stamp_ + (n == 1 ? "" : "_" + std::to_string(n));
      std::unique_ptr<OwnFile> reg = files_.CreateNew(base + ".reg", made);
      if (made == CreateResult::Taken) continue;
      if (made == CreateResult::Failed) return false;
      std::unique_ptr<OwnFile> log = files_.CreateNew(base + ".log", made);
      if (made != CreateResult::Created || !reg->Write(bytes)) {
        reg->Discard();
        if (made == CreateResult::Taken) continue;
        return false;
      }
      backupFile_ = std::move(reg);
      logFile_ = std::move(log);
      backupPath_ = base + ".reg";
      logPath_ = base + ".log";
      saved_ = Entries(backup_.File());
      Prune(folder);
      return true;
    }
  }
  return false;
}

void RepairJournal::Undoes(const std::string& file) {
  undo_ = true;  // kept even when nothing changed: it marks its run as undone
  backup_.Stamp(backup_.File().time, file);
}

void RepairJournal::Finish() {
  if (finished_) return;
  finished_ = true;
  if (changed_ || undo_ || !backupFile_) return;
  backupFile_->Discard();
  backupFile_.reset();
  backupPath_.clear();
  Note(LoadString(kNothingChanged));
  Prune(place_.folder);
}

// The newest runs with a backup keep their pairs, older ones go; the logs of
// runs that changed nothing are counted apart, so they never push a backup out.
void RepairJournal::Prune(const std::string& folder) {
  std::vector<std::string> backups = files_.ListFiles(folder, ".reg"), lone;
  for (std::string& name : backups) name.resize(name.size() - 4);
  for (std::string& name : files_.ListFiles(folder, ".log")) {
    name.resize(name.size() - 4);
    if (std::find(backups.begin(), backups.end(), name) == backups.end()) lone.push_back(std::move(name));
  }
  for (std::vector<std::string>* runs : {&backups, &lone}) {
    if (runs->size() <= kRunsKept) continue;
    std::sort(runs->begin(), runs->end(), NaturalLess);
    for (std::size_t i = 0; i + kRunsKept < runs->size(); ++i) {
      files_.RemoveOld(folder + "\\" + (*runs)[i] + ".reg");
      files_.RemoveOld(folder + "\\" + (*runs)[i] + ".log");
      files_.RemoveOldFolder(folder + "\\" + (*runs)[i] + ".files");  // file copies beside a backup
    }
  }
}

void RepairJournal::Protect(std::span<const StepTarget> targets) {
  backup_.Add(targets);
  if (!ChooseFolder() || Entries(backup_.File()) == saved_) return;
  if (!backupFile_->Write(WriteRegFile(backup_.File()))) {
    Note(LoadString(3219) + backupPath_);
  }
  saved_ = Entries(backup_.File());
}

std::string RepairJournal::NoBackupText() const {
  return place_.refused.empty() ? LoadString(3205) : LoadString(kNoWayBack) + place_.refused;
}

void RepairJournal::Record(const std::string& title, const RunReport& report) {
  changed_ = changed_ || report.Wrote();
  log_ += "\r\n" + title + "\r\n";
  for (std::size_t i = 0; i < report.targets.size(); ++i) {
    log_ += "  " + DescribeStep(report.targets[i]) + "  ->  " + DescribeOutcome(report.outcomes[i]) + "\r\n";
  }
  SaveLog();
}

void RepairJournal::Note(const std::string& line) {
  log_ += line + "\r\n";
  SaveLog();
}

void RepairJournal::SaveLog() {
  if (!logFile_) return;
  std::string header = Line(3204, backupPath_);
  for (const std::string& unread : backup_.Unread()) header += Line(3219, unread);
  // The backup line goes after the settings, before the steps.
  std::size_t steps = log_.find("\r\n\r\n");
  std::string text = steps == std::string::npos ? log_ + header : log_.substr(0, steps + 2) + header + log_.substr(steps + 2);
  logFile_->Write(kBom + text);
}

}  // namespace orvane

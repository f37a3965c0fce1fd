#include "repair/undo.h"

#include <algorithm>

#include "browsers/policy_catalogue.h"
#include "menuext/menu_ext_entries.h"
#include "platform/text.h"
#include "repair/file_copies.h"
#include "repair/journal.h"
#include "repair/reg_file.h"
#include "repair/runner.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {

constexpr std::uint16_t kKeptText = 3606;

struct Touched {
  RegRoot root;
  std::string path;  // as a backup names it (Wow6432Node for the 32-bit view)
  bool tree;         // a tree the program deletes, restored whole
};

// The keys the program's features change, read from the step tables, the
// context-menu manager's key and the browser policies' places (whose
// catalogued subkeys go whole).
std::vector<Touched> TouchedKeys(const AppConfig& config) {
  std::vector<Touched> keys{{RegRoot::CurrentUser, std::string(kMenuExtPath), true}};
  for (const PolicyPlace& place : PolicyPlaces()) {
    keys.push_back({place.root, place.path, false});
    for (const PolicyName& name : place.names) {
      if (name.data == PolicyData::Subkey) keys.push_back({place.root, place.path + "\\" + std::string(name.name), true});
    }
  }
  for (const RepairItemEntry& item : kRepairItems) {
    for (const StepTarget& t : ResolveSteps(item.steps, config)) {
      switch (t.kind) {
        case StepKind::Key: keys.push_back({t.root, TargetKeyPath(t), false}); break;
        case StepKind::ShellVerbs:
        case StepKind::DeleteTree: keys.push_back({t.root, TargetKeyPath(t), true}); break;
        case StepKind::DeleteSubkey:
          if (t.hasKey) keys.push_back({t.root, TargetKeyPath(t) + "\\" + t.name, true});
          break;
        default: break;
      }
    }
  }
  return keys;
}

bool AtOrBelow(RegRoot root, const std::string& path, RegRoot top, const std::string& topPath) {
  if (root != top) return false;
  const std::string a = AsciiLower(path), b = AsciiLower(topPath);
  return a == b || (a.starts_with(b) && a[b.size()] == '\\');
}

std::size_t Depth(const std::string& path) { return std::count(path.begin(), path.end(), '\\'); }

// A key as the tables name it: a user's hive below HKEY_USERS stands for
// HKEY_CURRENT_USER and its _Classes key for HKEY_CLASSES_ROOT; `hive` is
// what puts the path back below HKEY_USERS ("" for the other roots).
// A key of the 32-bit view is compared by its Wow6432Node name and written
// through its view.
struct Scoped {
  RegRoot root;
  std::string path;
  std::string hive;
  RegView view = RegView::Default;
  RegRoot RealRoot() const { return hive.empty() ? root : RegRoot::Users; }
  std::string Real(const std::string& below) const {
    return view == RegView::Bits32 ? FromWow64Path(root, below).value_or(below) : hive + below;
  }
};

Scoped InScope(RegRoot root, const std::string& path, RegView view) {
  if (view == RegView::Bits32) return {root, Wow64Path(root, path), {}, view};
  const std::size_t slash = path.find('\\');
  if (root != RegRoot::Users || slash == std::string::npos) return {root, path, {}};
  const bool classes = AsciiLower(path.substr(0, slash)).ends_with("_classes");
  return {classes ? RegRoot::ClassesRoot : RegRoot::CurrentUser, path.substr(slash + 1), path.substr(0, slash + 1)};
}

// Keys the file names that a repair created: removed only while empty, after the rest.
using Created = Scoped;

// Splits the file into what may be restored and the keys runs created; the
// first key outside what the program changes refuses the whole file.
bool Screen(RegFile& file, const std::vector<Touched>& touched, std::vector<Created>& created, std::string& error) {
  std::vector<RegFileKey> kept;
  for (RegFileKey& key : file.keys) {
    bool below = false, belowTree = false, aboveKey = false;
    const Scoped scoped = InScope(key.root, key.path, key.view);
    for (const Touched& t : touched) {
      const bool under = AtOrBelow(scoped.root, scoped.path, t.root, t.path);
      below = below || under;
      belowTree = belowTree || (under && t.tree);
      aboveKey = aboveKey || (!t.tree && AtOrBelow(t.root, t.path, scoped.root, scoped.path));
    }
    if (key.remove && !belowTree && aboveKey) {
      created.push_back(scoped);
      continue;
    }
    // An empty key above a changed one: an undo's record of a key it took away.
    if (key.remove ? !belowTree : !below && !(aboveKey && key.values.empty())) {
      error = "line " + std::to_string(key.line) + ": " + FullKeyName(key.root, key.path) +
              " is not a key Orvane changes";
      return false;
    }
    kept.push_back(std::move(key));
  }
  file.keys = std::move(kept);
  return true;
}

bool Empty(RegistryService& registry, RegHandle key) {
  RegKeyInfo info;
  std::string name;
  RegValue value;
  return registry.QueryInfoKey(key, info) == regerr::kSuccess && info.subkeys == 0 &&
         registry.EnumValue(key, 0, name, value) == regerr::kNoMoreItems;
}

// What the tables write at or below a key a run created goes; then the keys
// left empty, deepest first. Anything added since stays, and the log says so.
void RemoveCreated(const Created& top, const AppConfig& config, RegistryService& registry, RepairJournal& journal,
                   RunReport& report, std::vector<std::string>& keptKeys) {
  std::vector<std::string> keys;
  for (const RepairItemEntry& item : kRepairItems) {
    for (const StepTarget& t : ResolveSteps(item.steps, config)) {
      if (t.kind == StepKind::Command || t.kind == StepKind::ShellVerbs || t.kind == StepKind::DeleteTree) continue;
      const std::string path = TargetKeyPath(t);
      if (!AtOrBelow(t.root, path, top.root, top.path)) continue;
      if (t.kind == StepKind::SetValue) {
        StepTarget step{.kind = StepKind::DeleteValue, .root = top.RealRoot(), .view = top.view, .path = top.Real(path),
                        .name = t.name, .hasKey = true};
        journal.Protect({&step, 1});
        RegKey key(registry);
        long code = key.Open(step.root, step.path, kKeyAllButDelete, top.view);
        if (code == regerr::kSuccess) code = registry.DeleteValue(key.Get(), t.name);
        report.targets.push_back(step);
        report.outcomes.push_back(code == regerr::kSuccess ? StepOutcome{Outcome::Done, 0}
                                  : code == regerr::kFileNotFound ? StepOutcome{Outcome::AlreadyAbsent, 0}
                                                                  : StepOutcome{Outcome::Refused, code});
      }
      for (std::string p = path; p.size() >= top.path.size(); p = p.substr(0, p.rfind('\\'))) {
        if (std::find(keys.begin(), keys.end(), p) == keys.end()) keys.push_back(p);
        if (p.find('\\') == std::string::npos) break;
      }
    }
  }
  std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  for (const std::string& scopedPath : keys) {
    // The Wow6432Node key itself has no name in the 32-bit view.
    RegView view = top.view;
    std::string path = top.Real(scopedPath);
    if (view == RegView::Bits32 && path.find('\\') == std::string::npos) {
      view = RegView::Default;
      path = scopedPath;
    }
    const std::size_t slash = path.rfind('\\');
    StepTarget step{.kind = StepKind::DeleteSubkey, .root = top.RealRoot(), .view = view,
                    .path = path.substr(0, slash == std::string::npos ? 0 : slash),
                    .name = path.substr(slash == std::string::npos ? 0 : slash + 1), .hasKey = true};
    RegKey key(registry), parent(registry);
    long code = key.Open(step.root, path, kKeyRead, view);
    StepOutcome outcome{Outcome::AlreadyAbsent, 0};
    if (code == regerr::kSuccess && !Empty(registry, key.Get())) {
      keptKeys.push_back(FullKeyName(step.root, view == RegView::Bits32 ? scopedPath : path));
      outcome = {Outcome::Unchanged, 0};
    } else if (code == regerr::kSuccess) {
      key.Close();
      const StepTarget whole{.kind = StepKind::DeleteTree, .root = step.root, .path = view == RegView::Bits32 ? Wow64Path(step.root, path) : path};
      journal.Protect({&whole, 1});
      code = parent.Open(step.root, step.path, kKeyAllButDelete, view);
      if (code == regerr::kSuccess) code = registry.DeleteKey(parent.Get(), step.name);
      outcome = code == regerr::kSuccess ? StepOutcome{Outcome::Done, 0} : StepOutcome{Outcome::Refused, code};
    } else if (code != regerr::kFileNotFound) {
      outcome = {Outcome::NoKey, code};
    }
    report.targets.push_back(std::move(step));
    report.outcomes.push_back(outcome);
  }
}

// The whole files kept with the backup go back as they were, each first kept
// as it is now with the undo's own backup. False when any could not be put back.
bool RestoreKeptFiles(FileStore& files, const std::string& backup, RepairJournal& journal) {
  bool ok = true;
  for (const KeptFile& kept : KeptFiles(files, backup)) {
    if (files.ReadFile(kept.path)) KeepFileCopy(files, journal.BackupPath(), kept.path);
    const std::optional<std::string> bytes = files.ReadFile(kept.copy);
    const bool restored = bytes && PutFileBack(files, kept.path, *bytes);
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
  std::vector<Created> created;
  if (!parsed || !Screen(*parsed, TouchedKeys(context.config), created, result.error)) {
    result.status = UndoResult::Status::Malformed;
    return result;
  }
  std::vector<StepTarget> targets = RegFileTargets(*parsed);
  RepairJournal journal(files, context.registry, version, context.config);
  journal.Undoes(file);
  journal.Protect(targets);
  result.report = ApplyTargets(std::move(targets), context);
  std::vector<std::string> kept;
  for (const Created& key : created) RemoveCreated(key, context.config, context.registry, journal, result.report, kept);
  journal.Record(LoadString(3220) + file, result.report);
  for (const std::string& key : kept) journal.Note(LoadString(kKeptText) + key);
  const bool filesBack = RestoreKeptFiles(files, file, journal);
  result.status = result.report.Succeeded() && filesBack ? UndoResult::Status::Restored : UndoResult::Status::Failed;
  result.backupPath = journal.BackupPath();
  result.logPath = journal.LogPath();
  return result;
}

}  // namespace orvane

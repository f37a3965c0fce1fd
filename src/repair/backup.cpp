#include "repair/backup.h"

#include "platform/text.h"
#include "repair/key_tree.h"

namespace orvane {
namespace {

bool Absent(long code) { return code == regerr::kFileNotFound; }

std::string Folded(RegRoot root, std::string_view path) { return AsciiLower(FullKeyName(root, path)); }

// How the file names a target's key: the 32-bit view as that view, the rest
// as the 64-bit view sees it.
RegView ViewOf(const StepTarget& target) {
  return target.view == RegView::Bits32 ? RegView::Bits32 : RegView::Default;
}
std::string ViewedPath(const StepTarget& target) {
  return target.view == RegView::Bits32 ? target.path : TargetKeyPath(target);
}

}  // namespace

void BackupBuilder::Add(std::span<const StepTarget> targets) {
  for (const StepTarget& target : targets) {
    switch (target.kind) {
      case StepKind::Key: AddKey(target); break;
      case StepKind::SetValue:
      case StepKind::DeleteValue:
        if (target.hasKey) AddValue(target);
        break;
      case StepKind::DeleteSubkey:
        if (target.hasKey) AddTree(target.root, target.path.empty() ? target.name : target.path + "\\" + target.name);
        break;
      case StepKind::ShellVerbs:
      case StepKind::DeleteTree:
      case StepKind::Link: AddTree(target.root, target.path); break;
      case StepKind::Command: break;
    }
  }
}

bool BackupBuilder::Covered(RegRoot root, const std::string& path) const {
  const std::string folded = Folded(root, path);
  for (const std::string& prefix : covered_) {
    if (folded == prefix || (folded.starts_with(prefix) && folded[prefix.size()] == '\\')) return true;
  }
  return false;
}

RegFileKey& BackupBuilder::Entry(RegRoot root, const std::string& path, RegView view) {
  for (RegFileKey& key : file_.keys) {
    if (!key.remove && key.root == root && key.view == view && EqualsNoCase(key.path, path)) return key;
  }
  file_.keys.push_back({root, path, false, {}, 0, view});
  return file_.keys.back();
}

void BackupBuilder::NoteUnread(RegRoot root, const std::string& path, const std::string& name, long code) {
  unread_.push_back(FullKeyName(root, path) + (name.empty() ? "" : " \"" + name + "\"") + " (" +
                    std::to_string(code) + ")");
}

// The outermost missing key of the path is the one the run creates.
// The 32-bit view's keys are read and saved as that view's; the covered
// names are the Wow6432Node ones, as trees are walked.
void BackupBuilder::AddKey(const StepTarget& target) {
  if (Covered(target.root, TargetKeyPath(target))) return;
  const std::string& path = target.path;
  const RegView view = ViewOf(target);
  std::size_t end = 0;
  do {
    end = path.find('\\', end + 1);
    const std::string prefix = path.substr(0, end);
    RegKey key(registry_);
    long code = key.Open(target.root, prefix, kKeyRead, target.view);
    if (Absent(code)) {
      file_.keys.push_back({target.root, prefix, true, {}, 0, view});
      covered_.insert(Folded(target.root, view == RegView::Bits32 ? Wow64Path(target.root, prefix) : prefix));
      return;
    }
    if (code != regerr::kSuccess) {
      NoteUnread(target.root, prefix, "", code);
      return;
    }
  } while (end != std::string::npos);
}

void BackupBuilder::AddValue(const StepTarget& target) {
  const std::string path = TargetKeyPath(target);
  const std::string id = Folded(target.root, path) + "\n" + AsciiLower(target.name);
  if (Covered(target.root, path) || values_.count(id)) return;
  RegKey key(registry_);
  long code = key.Open(target.root, target.path, kKeyRead, target.view);
  if (Absent(code)) return;  // the Key step before it saved that
  RegValue value;
  if (code == regerr::kSuccess) code = registry_.QueryValue(key.Get(), target.name, value);
  if (code == regerr::kSuccess) {
    Entry(target.root, ViewedPath(target), ViewOf(target)).values.push_back({target.name, std::move(value)});
  } else if (Absent(code)) {
    if (target.kind == StepKind::DeleteValue) return;  // nothing to delete, nothing to restore
    Entry(target.root, ViewedPath(target), ViewOf(target)).values.push_back({target.name, std::nullopt});
  } else {
    NoteUnread(target.root, path, target.name, code);
    return;
  }
  values_.insert(id);
}

void BackupBuilder::AddTree(RegRoot root, const std::string& path) {
  if (Covered(root, path)) return;
  std::vector<TreeKey> tree;
  long code = ReadKeyTree(registry_, root, path, tree);
  if (Absent(code)) return;
  if (code != regerr::kSuccess) {
    NoteUnread(root, path, "", code);
    return;
  }
  file_.keys.push_back({root, path, true, {}});
  for (TreeKey& key : tree) {
    RegFileKey entry{root, std::move(key.path), false, {}};
    if (key.link) entry.values.push_back({std::string(kLinkValueName), RegValue::Link(*key.link)});
    for (auto& [name, value] : key.values) entry.values.push_back({std::move(name), std::move(value)});
    file_.keys.push_back(std::move(entry));
  }
  covered_.insert(Folded(root, path));
}

}  // namespace orvane

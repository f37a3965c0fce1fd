#include "repair/lock_watch.h"

#include "platform/text.h"
#include "repair/key_tree.h"

namespace orvane {

bool LockWatches::Arm(Entry& entry) {
  const std::uint32_t id = entry.id;
  auto post = post_;
  entry.armed = registry_.WatchKey(entry.key.Get(), [post, id] { post(id); }) == regerr::kSuccess;
  return entry.armed;
}

bool LockWatches::Deleted(const Entry& entry) {
  RegKeyInfo info;
  return registry_.QueryInfoKey(entry.key.Get(), info) == regerr::kKeyDeleted;
}

// Watches root\path, or the nearest key above it that exists.
bool LockWatches::Add(int item, RegRoot root, RegView view, std::string path, bool holds,
                      std::set<Entry*>& touched) {
  for (;;) {
    KeyId id{root, view, AsciiLower(path)};
    auto found = watches_.find(id);
    if (found != watches_.end()) {
      Entry& entry = *found->second;
      // A deleted key's own watch may never fire while we hold it open.
      if (!touched.count(&entry) && entry.armed && Deleted(entry)) entry.armed = false;
      if (entry.armed || Arm(entry)) {
        entry.items.insert(item);
        if (holds) entry.holders.insert(item);
        touched.insert(&entry);
        return false;
      }
      // Its key was deleted: the items that shared it are watched afresh too.
      for (int other : entry.items) complete_[other] = false;
      watches_.erase(found);
    }
    auto entry = std::make_unique<Entry>(Entry{RegKey(registry_), nextId_, false, {}, {}});
    long code = entry->key.Open(root, path, kKeyWatch, view);
    if (code == regerr::kSuccess) {
      ++nextId_;
      entry->items.insert(item);
      if (holds) entry->holders.insert(item);
      if (!Arm(*entry)) complete_[item] = false;
      touched.insert(entry.get());
      watches_.emplace(std::move(id), std::move(entry));
      return true;
    }
    if (code != regerr::kFileNotFound || path.empty()) {
      complete_[item] = false;
      return false;
    }
    path = SplitKeyPath(path).first;
  }
}

bool LockWatches::Watch(int item, std::span<const StepTarget> targets, bool looked) {
  if (!post_) {
    complete_[item] = false;
    return false;
  }
  complete_[item] = true;
  bool added = false;
  std::set<Entry*> touched;
  for (auto& [key, entry] : watches_) entry->holders.erase(item);
  for (const StepTarget& target : targets) {
    const bool ownKey = target.kind == StepKind::Key || target.kind == StepKind::ShellVerbs ||
                        target.kind == StepKind::DeleteTree;
    if (!ownKey) continue;
    // The key and every key above it: a deletion at any depth changes the
    // subkeys of a watched key.
    for (std::string path = target.path; !path.empty(); path = SplitKeyPath(path).first) {
      added = Add(item, target.root, target.view, path, looked && path == target.path, touched) || added;
    }
  }
  for (auto it = watches_.begin(); it != watches_.end();) {  // keys the item no longer needs
    if (!touched.count(it->second.get())) it->second->items.erase(item);
    it = it->second->items.empty() ? watches_.erase(it) : std::next(it);
  }
  return added;
}

void LockWatches::Forget(int item) {
  complete_.erase(item);
  for (auto it = watches_.begin(); it != watches_.end();) {
    it->second->items.erase(item);
    it->second->holders.erase(item);
    it = it->second->items.empty() ? watches_.erase(it) : std::next(it);
  }
}

void LockWatches::Clear() {
  watches_.clear();
  complete_.clear();
}

bool LockWatches::Armed(int item) const {
  auto it = complete_.find(item);
  if (it == complete_.end() || !it->second) return false;
  for (const auto& [key, entry] : watches_) {
    if (!entry->armed && entry->items.count(item)) return false;
  }
  return true;
}

// Keys above the ones holding values are not asked: a deletion above deletes
// the holder too, and their times move with every sibling.
std::set<int> LockWatches::Moved(unsigned slot, unsigned slots) {
  std::set<int> moved;
  for (auto& [key, entry] : watches_) {
    if (entry->holders.empty() || entry->id % slots != slot || !entry->armed) continue;
    RegKeyInfo info;
    if (registry_.QueryInfoKey(entry->key.Get(), info) != regerr::kSuccess) {
      entry->armed = false;  // watched afresh at the next pass
      continue;
    }
    const bool changed = info.lastWrite != entry->seen;
    if (changed || entry->settling) moved.insert(entry->holders.begin(), entry->holders.end());
    entry->seen = info.lastWrite;
    entry->settling = changed;
  }
  return moved;
}

std::vector<int> LockWatches::Fired(std::uint32_t id) {
  for (auto& [key, entry] : watches_) {
    if (entry->id != id) continue;
    std::vector<int> items(entry->items.begin(), entry->items.end());
    Arm(*entry);  // a deleted key cannot be armed: Armed() says so until it is watched anew
    return items;
  }
  return {};
}

}  // namespace orvane

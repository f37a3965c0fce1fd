#pragma once
// The registry watches of lock mode: each locked item is told when a key it
// touches changes, so it is re-applied then rather than on the clock.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "platform/registry.h"
#include "repair/steps.h"

namespace orvane {

class LockWatches {
 public:
  // `post(id)` may be called on any thread; it must bring Fired(id) to the
  // window's thread. Without it nothing is watched.
  LockWatches(RegistryService& registry, std::function<void(std::uint32_t)> post)
      : registry_(registry), post_(std::move(post)) {}

  // Watches the keys the targets touch (each key, or the nearest one that
  // exists, and every key above it, for a deletion or creation at any
  // depth). Keeps the item's watches that still fit, after checking that
  // their keys were not deleted; true when a new one had to be armed.
  // `looked`: Moved() asks the targets' own keys too.
  bool Watch(int item, std::span<const StepTarget> targets, bool looked = true);
  void Forget(int item);
  void Clear();
  // Every watch of the item is armed and none has fired since.
  bool Armed(int item) const;
  // The safety net's cheap look: asks the keys whose turn it is (every
  // `slots`th one) when they last changed; returns the items whose values sit
  // in a key that changed since the last look, or one look before that (a
  // coarse clock can give two changes the same time). A deleted key is disarmed.
  std::set<int> Moved(unsigned slot, unsigned slots);
  // A watch fired: it is armed again; returns the items that touch its key
  // (none for a watch that has gone meanwhile).
  std::vector<int> Fired(std::uint32_t id);
  std::size_t Count() const { return watches_.size(); }

 private:
  using KeyId = std::tuple<RegRoot, RegView, std::string>;  // folded path
  struct Entry {
    RegKey key;
    std::uint32_t id = 0;
    bool armed = false;
    std::set<int> items;
    std::set<int> holders;  // items with a key here or, when it is missing, below it
    std::uint64_t seen = 0;  // its last-write time at the last look
    bool settling = false;   // it moved at the last look
  };
  // Adds the item to the watch of the key or its nearest existing parent;
  // true when that watch is new. `holds`: the item's values are there.
  bool Add(int item, RegRoot root, RegView view, std::string path, bool holds, std::set<Entry*>& touched);
  bool Arm(Entry& entry);
  bool Deleted(const Entry& entry);

  RegistryService& registry_;
  std::function<void(std::uint32_t)> post_;
  std::map<KeyId, std::unique_ptr<Entry>> watches_;
  std::map<int, bool> complete_;  // item -> every key it needs is watched
  std::uint32_t nextId_ = 1;
};

}  // namespace orvane

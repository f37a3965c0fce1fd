#pragma once
// Lock mode: holds the locked items in place. It watches the keys they touch
// and re-applies an item when one changes; its 100 ms tick follows ticks and
// unticks, re-applies items whose keys could not be watched, and once a
// second asks each watched key when it last changed, reading the values of
// the items in a key that moved and counting a change no watch reported as
// missed. An item's registrations run once per locking, and again only when
// a class they registered is gone. The window's runner and the console guard
// drive it; it applies items through its host.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/file_store.h"
#include "platform/registry.h"
#include "repair/lock_watch.h"
#include "repair/runner_view.h"
#include "repair/steps.h"
#include "settings/app_config.h"

namespace orvane {

// A file time stamp as people read it: "2026-12-06_14-03-27" -> "2026-12-06 14:03:27".
std::string ReadableTime(std::string stamp);

// What lock mode did, one line each, appended to <time>-lock.log beside the
// backups at most once a second.
class LockLog {
 public:
  explicit LockLog(FileStore* files) : files_(files) {}
  ~LockLog() { Flush(); }
  void SetFiles(FileStore& files) { files_ = &files; }
  void Add(const std::string& line);
  void Flush();

 private:
  FileStore* files_;
  std::unique_ptr<OwnFile> file_;
  std::string pending_;
};

class LockMode {
 public:
  struct Host {
    virtual ~Host() = default;
    // Re-applies the item and shows it; its registrations only when asked.
    virtual RunReport Apply(int item, bool withRegistrations) = 0;
    // False while something else (a button run) holds the window: what falls due waits.
    virtual bool MayPass() = 0;
    virtual bool StillRunning(int item) = 0;  // a process the item started is alive
    // What the item touches: its steps made concrete, and any user's class overrides.
    virtual std::vector<StepTarget> Targets(int item) = 0;
    // The button's run that started this locking registered the item: nullopt
    // when it did not, else whether every registration has ended well so far.
    virtual std::optional<bool> RegisteredBefore(int item) = 0;
  };

  // `post(id)` brings OnKeyChanged(id) to the host's thread; empty: nothing is watched.
  LockMode(RegistryService& registry, const AppConfig& config, LockLog& log,
           std::function<void(std::uint32_t)> post, Host& host);

  void OnTick(const std::array<bool, kRepairItemCount>& ticked);
  void OnKeyChanged(std::uint32_t watchId);
  // What the host's items touch has changed (a user signed in or out): each
  // locked item is watched and applied anew at the next tick.
  void Retarget();
  // Every registration the item's last run started has ended. After a good
  // pass the class keys that name its libraries are read and watched; when
  // one is deleted or names another file, the registrations run once more.
  void RegistrationsEnded(int item, bool succeeded);
  bool Passing() const { return passing_; }
  unsigned Missed() const { return missed_; }

 private:
  void Verify(int item);
  void Drain();
  void LearnClasses(int item);
  void WatchClasses(int item);
  bool ClassGone(int item);
  bool Registering();
  void ForgetClasses(int item);

  RegistryService& registry_;
  const AppConfig& config_;
  LockLog& log_;
  Host& host_;
  LockWatches watches_;
  std::array<bool, kRepairItemCount> locked_{};
  std::array<bool, kRepairItemCount> failed_{};      // its last run failed: the damage is known
  std::array<bool, kRepairItemCount> registered_{};  // its registrations ran in this locking
  // Found changed by reading, and no watch has told of it since.
  std::array<bool, kRepairItemCount> unreported_{};
  std::array<unsigned, kRepairItemCount> foundAt_{};  // the tick it was found
  // A class key a registration wrote: its InprocServer32 key and the path it held.
  struct RegisteredClass {
    RegView view;
    std::string path;
    RegValue server;
  };
  std::array<std::vector<RegisteredClass>, kRepairItemCount> classes_{};
  std::array<bool, kRepairItemCount> reregister_{};  // a class is gone: run the registrations again
  // A class watch fired while registrations ran (they may remove a class and
  // write it anew): the classes are judged once none runs.
  bool classesChanged_ = false;
  std::set<int> pending_;  // items to re-apply
  unsigned ticks_ = 0;
  unsigned missed_ = 0;
  bool passing_ = false;
};

}  // namespace orvane

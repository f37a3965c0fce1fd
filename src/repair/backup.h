#pragma once
// The backup reader of the step tables: what the steps will touch, as it is
// now, as a registry file that puts it back.
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "repair/reg_file.h"
#include "repair/steps.h"

namespace orvane {

class BackupBuilder {
 public:
  explicit BackupBuilder(RegistryService& registry) : registry_(registry) {}

  // Reads what the targets will change. Values a step creates become
  // "name"=-, keys it creates [-key] (the outermost one missing), and trees it
  // deletes are saved whole after a [-key] so they come back exactly.
  void Add(std::span<const StepTarget> targets);

  const RegFile& File() const { return file_; }
  // The file's own lines: when the run began; for an undo, the file it restores.
  void Stamp(std::string time, std::string undoes) {
    file_.time = std::move(time);
    file_.undoes = std::move(undoes);
  }
  // Keys or values that could not be read, so are not in the file.
  const std::vector<std::string>& Unread() const { return unread_; }

 private:
  void AddKey(const StepTarget& target);
  void AddValue(const StepTarget& target);
  void AddTree(RegRoot root, const std::string& path);
  bool Covered(RegRoot root, const std::string& path) const;
  RegFileKey& Entry(RegRoot root, const std::string& path, RegView view);
  void NoteUnread(RegRoot root, const std::string& path, const std::string& name, long code);

  RegistryService& registry_;
  RegFile file_;
  std::set<std::string> covered_;  // folded full names restored whole by the file
  std::set<std::string> values_;   // folded key and value names already saved
  std::vector<std::string> unread_;
};

}  // namespace orvane

// A subkey of a key-tree walk that cannot be opened leaves the tree
// unreadable, never absent (links in the walks: e2e adversary.sh, on the
// real registry).
#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "repair/backup.h"
#include "repair/check.h"
#include "repair/routines.h"
#include "support/recording_commands.h"

namespace orvane {
namespace {

constexpr RegRoot HKCR = RegRoot::ClassesRoot;
const std::string kFind = R"(Directory\shell\find)";

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config;
  RepairContext context{registry, commands, config};

  Rig() { registry.Put(HKCR, kFind + R"(\Command)", "", RegValue::Text(RegType::Sz, "evil.exe")); }
};

TEST(RegistryLinks, ASubkeyThatCannotBeOpenedMakesTheTreeUnreadableNotAbsent) {
  Rig rig;
  rig.registry.FailOn(MemoryRegistry::Op::Open, HKCR, kFind + R"(\Command)", regerr::kFileNotFound);
  EXPECT_NE(CheckSteps(kFolderOpenSteps, rig.registry, rig.config).state, ItemState::Intact);
  BackupBuilder backup(rig.registry);
  backup.Add(ResolveSteps(kFolderOpenSteps, rig.config));
  EXPECT_FALSE(backup.Unread().empty());  // named as unread, not left out as absent
  EXPECT_FALSE(RepairFolderOpen(rig.context));  // find is still there: the item fails
}

}  // namespace
}  // namespace orvane

// Links and unreadable names in the key-tree walks: item 4, the context-menu
// manager and the backup meet a link as a link and never reach its target; a
// subkey that cannot be read leaves a tree unreadable, never absent. The same
// against the system's registry: the Wine end-to-end run.
#include <gtest/gtest.h>

#include "menuext/menu_ext_entries.h"
#include "platform/memory_registry.h"
#include "repair/backup.h"
#include "repair/check.h"
#include "repair/key_tree.h"
#include "repair/routines.h"
#include "repair/undo.h"
#include "support/memory_files.h"
#include "support/recording_commands.h"

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
constexpr RegRoot HKCR = RegRoot::ClassesRoot;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kFind = R"(Directory\shell\find)";
const std::string kVictim = R"(Software\Victim)";

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  testing::MemoryFiles files;
  AppConfig config;
  RepairContext context{registry, commands, config};

  explicit Rig(bool plantFind = true) {
    registry.Put(HKCU, kVictim, "keep", RegValue::Dword(1));
    registry.Put(HKCU, kVictim + R"(\Sub)", "keep", RegValue::Dword(2));
    if (plantFind) registry.Put(HKCR, kFind + R"(\Command)", "", RegValue::Text(RegType::Sz, "evil.exe"));
  }
  void Link(RegRoot root, const std::string& path) {
    ASSERT_EQ(registry.CreateLink(root, path, RegView::Default, MemoryRegistry::NativePath(HKCU, kVictim)),
              regerr::kSuccess);
  }
  bool VictimWhole() const {
    return registry.Value(HKCU, kVictim, "keep") == RegValue::Dword(1) &&
           registry.Value(HKCU, kVictim + R"(\Sub)", "keep") == RegValue::Dword(2);
  }
};

TEST(RegistryLinks, DeletionsRemoveTheLinkAndLeaveItsTargetWhole) {
  struct Case { RegRoot root; std::string link; bool menuExt; };
  const std::string entry = std::string(kMenuExtPath) + R"(\Evil)";
  for (const Case& c : {Case{HKCR, kFind + R"(\Command\evil)", false}, Case{HKCR, kFind, false},
                        Case{HKCU, entry, true}}) {
    SCOPED_TRACE(c.link);
    Rig rig(c.link != kFind);
    rig.Link(c.root, c.link);
    if (c.menuExt) {
      EXPECT_TRUE(DeleteMenuExtEntry(rig.registry, "Evil"));
    } else {
      EXPECT_EQ(CheckSteps(kFolderOpenSteps, rig.registry, rig.config).state, ItemState::Damaged);
      EXPECT_TRUE(RepairFolderOpen(rig.context));
      EXPECT_FALSE(rig.registry.KeyExists(HKCR, kFind));
    }
    EXPECT_FALSE(rig.registry.KeyExists(c.root, c.link));
    EXPECT_TRUE(rig.VictimWhole());
    EXPECT_EQ(rig.registry.OpenHandles(), 0u);
  }
}

TEST(RegistryLinks, ABackupRecordsALinkAndUndoMakesItAgain) {
  Rig rig;
  const std::string link = kFind + R"(\Command\evil)";
  rig.Link(HKCR, link);
  BackupBuilder backup(rig.registry);
  backup.Add(ResolveSteps(kFolderOpenSteps, rig.config));
  ASSERT_TRUE(backup.Unread().empty());
  rig.files.files[R"(C:\B\1.reg)"] = WriteRegFile(backup.File());
  ASSERT_TRUE(RepairFolderOpen(rig.context));
  UndoResult undone = UndoBackup(rig.files, rig.context, "1.0", R"(C:\B\1.reg)");
  EXPECT_EQ(undone.status, UndoResult::Status::Restored);
  EXPECT_EQ(rig.registry.Value(HKCR, kFind + R"(\Command)", ""), RegValue::Text(RegType::Sz, "evil.exe"));
  RegKey key(rig.registry);
  std::string target;
  ASSERT_EQ(key.OpenAsLink(HKCR, link, kKeyRead), regerr::kSuccess);
  EXPECT_EQ(LinkTarget(rig.registry, key.Get(), target), regerr::kSuccess);
  EXPECT_EQ(target, MemoryRegistry::NativePath(HKCU, kVictim));
  EXPECT_TRUE(rig.VictimWhole());
}

TEST(RegistryLinks, ASubkeyThatCannotBeOpenedMakesTheTreeUnreadableNotAbsent) {
  Rig rig;
  rig.registry.FailOn(Op::Open, HKCR, kFind + R"(\Command)", regerr::kFileNotFound);
  ItemCheck check = CheckSteps(kFolderOpenSteps, rig.registry, rig.config);
  EXPECT_NE(check.state, ItemState::Intact);
  BackupBuilder backup(rig.registry);
  backup.Add(ResolveSteps(kFolderOpenSteps, rig.config));
  EXPECT_FALSE(backup.Unread().empty());  // named as unread, not left out as absent
  EXPECT_FALSE(RepairFolderOpen(rig.context));  // find is still there: the item fails
  EXPECT_TRUE(rig.registry.KeyExists(HKCR, kFind + R"(\Command)"));
}

}  // namespace
}  // namespace orvane

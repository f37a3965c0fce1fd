// Links and unreadable names in the key-tree walks (with the real registry:
// e2e adversary.sh). Item 4 and the context-menu manager delete a link as a
// link and never reach its target; a subkey that cannot be opened leaves the
// tree unreadable, never absent.
#include <gtest/gtest.h>

#include "menuext/menu_ext_entries.h"
#include "platform/memory_registry.h"
#include "repair/backup.h"
#include "repair/check.h"
#include "repair/routines.h"
#include "support/recording_commands.h"

namespace orvane {
namespace {

constexpr RegRoot HKCR = RegRoot::ClassesRoot, HKCU = RegRoot::CurrentUser;
const std::string kFind = R"(Directory\shell\find)", kVictim = R"(Software\Victim)";

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config;
  RepairContext context{registry, commands, config};

  explicit Rig(bool plantFind) {
    registry.Put(HKCU, kVictim + R"(\Sub)", "keep", RegValue::Dword(2));
    if (plantFind) registry.Put(HKCR, kFind + R"(\Command)", "", RegValue::Text(RegType::Sz, "evil.exe"));
  }
};

TEST(RegistryLinks, DeletionsRemoveTheLinkAndLeaveItsTargetWhole) {
  const std::string entry = std::string(kMenuExtPath) + R"(\Evil)";
  for (const auto& [root, link] : {std::pair{HKCR, kFind + R"(\Command\evil)"}, std::pair{HKCR, kFind},
                                   std::pair{HKCU, entry}}) {
    SCOPED_TRACE(link);
    Rig rig(link != kFind);
    ASSERT_EQ(rig.registry.CreateLink(root, link, RegView::Default, MemoryRegistry::NativePath(HKCU, kVictim)),
              regerr::kSuccess);
    if (root == HKCU) {
      EXPECT_TRUE(DeleteMenuExtEntry(rig.registry, "Evil"));
    } else {
      EXPECT_EQ(CheckSteps(kFolderOpenSteps, rig.registry, rig.config).state, ItemState::Damaged);
      EXPECT_TRUE(RepairFolderOpen(rig.context));
      EXPECT_FALSE(rig.registry.KeyExists(HKCR, kFind));
    }
    EXPECT_FALSE(rig.registry.KeyExists(root, link));
    EXPECT_EQ(rig.registry.Value(HKCU, kVictim + R"(\Sub)", "keep"), RegValue::Dword(2));
    EXPECT_EQ(rig.registry.OpenHandles(), 0u);
  }
}

TEST(RegistryLinks, ASubkeyThatCannotBeOpenedMakesTheTreeUnreadableNotAbsent) {
  Rig rig(true);
  rig.registry.FailOn(MemoryRegistry::Op::Open, HKCR, kFind + R"(\Command)", regerr::kFileNotFound);
  EXPECT_NE(CheckSteps(kFolderOpenSteps, rig.registry, rig.config).state, ItemState::Intact);
  BackupBuilder backup(rig.registry);
  backup.Add(ResolveSteps(kFolderOpenSteps, rig.config));
  EXPECT_FALSE(backup.Unread().empty());  // named as unread, not left out as absent
  EXPECT_FALSE(RepairFolderOpen(rig.context));  // find is still there: the item fails
}

}  // namespace
}  // namespace orvane

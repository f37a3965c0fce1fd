#include "menuext/frm_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "menuext/menu_ext.h"
#include "platform/memory_registry.h"
#include "support/recording_commands.h"
#include "ui/toolkit/headless.h"

namespace orvane {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
using Op = MemoryRegistry::Op;

std::string EntryPath(std::string_view name) { return std::string(kMenuExtPath) + "\\" + std::string(name); }

class MenuExtTest : public ::testing::Test {
 protected:
  void AddEntries(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      registry.Put(HKCU, EntryPath(name), "", RegValue::Text(RegType::Sz, "res://x.dll/menu.htm"));
    }
  }
  std::vector<std::string> Lines(const ui::ListBox& list) const {
    std::vector<std::string> lines;
    for (const auto& line : list.Lines()) {
      EXPECT_FALSE(line.checked) << line.text;
      lines.push_back(line.text);
    }
    return lines;
  }
  bool Logged(Op op) const {
    return std::ranges::any_of(registry.Log(), [op](const auto& e) { return e.op == op; });
  }
  void Open(const std::function<void(frmMenu&)>& drive) {
    frmMenu dialog(services);
    platform.onModal = [&](ui::Form&) { drive(dialog); };
    platform.ShowModal(dialog, nullptr);
  }

  ui::HeadlessPlatform platform;
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config;
  AppServices services{platform, registry, commands, config, {}, {}, ui::HeadlessPlatform::kHandCursor};
  ui::Form host{platform, "host"};
  ui::ListBox& list = host.Add<ui::ListBox>("lst");
};

// A missing key lists nothing and is never created.
TEST_F(MenuExtTest, ListsEveryNameInFull) {
  Open([&](frmMenu& d) {
    EXPECT_EQ(d.lstmenu.ListCount(), 0);
    ASSERT_TRUE(platform.Click(d.imgclear));
    EXPECT_EQ(platform.messages.size(), 1u);
  });
  EXPECT_FALSE(registry.KeyExists(HKCU, kMenuExtPath));
  const std::string longName(40, 'A');
  // Enumeration is in upper-cased UTF-16 order: this one comes after the
  // double-byte name and is as long as the longest.
  const std::string nearMax = "鼠" + std::string(39, 'z');
  AddEntries({longName.c_str(), "B", "百度搜索(&B)", nearMax.c_str()});
  list.AddItem("stale");

  ListMenuExtEntries(registry, list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{longName, "B", "百度搜索(&B)", nearMax}));
  EXPECT_EQ(registry.OpenHandles(), 0u);
  EXPECT_FALSE(Logged(Op::Create));
}

TEST_F(MenuExtTest, DeleteTellsWhetherTheEntryWent) {
  AddEntries({"Gone", "Locked", "Parent", "Stuck", "Sibling"});
  registry.PutKey(HKCU, EntryPath("Parent") + "\\Child\\Grandchild");
  registry.PutKey(HKCU, EntryPath("Parent") + "\\Other");
  registry.PutKey(HKCU, EntryPath("Stuck") + "\\Held");
  registry.FailOn(Op::DeleteKey, HKCU, EntryPath("Locked"));
  registry.FailOn(Op::DeleteKey, HKCU, EntryPath("Stuck"));

  EXPECT_TRUE(DeleteMenuExtEntry(registry, "gone"));  // names compare without case
  EXPECT_FALSE(DeleteMenuExtEntry(registry, "Gone")) << "already absent";
  EXPECT_FALSE(DeleteMenuExtEntry(registry, "Locked"));
  EXPECT_TRUE(DeleteMenuExtEntry(registry, "Parent")) << "goes with its subkeys";
  EXPECT_FALSE(DeleteMenuExtEntry(registry, "Stuck"));
  EXPECT_FALSE(DeleteMenuExtEntry(registry, "")) << "never the MenuExt key itself";
  EXPECT_FALSE(registry.KeyExists(HKCU, EntryPath("Parent")));
  EXPECT_TRUE(registry.KeyExists(HKCU, EntryPath("Locked")));
  EXPECT_TRUE(registry.KeyExists(HKCU, EntryPath("Stuck") + "\\Held"));
  EXPECT_TRUE(registry.KeyExists(HKCU, EntryPath("Sibling")));
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

}  // namespace
}  // namespace orvane

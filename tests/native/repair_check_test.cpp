// The check reader against the in-memory registry: it must agree with what a
// repair would change, for every item, from an intact, an empty and a damaged registry.
#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "repair/check.h"
#include "repair/routines.h"
#include "repair/runner.h"
#include "support/recording_commands.h"
#include "support/registry_dump.h"

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
using testing::Dump;
constexpr RegRoot HKCR = RegRoot::ClassesRoot, HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;
const std::string kIeMain = R"(Software\Microsoft\Internet Explorer\Main)";
const std::string kWinlogon = R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)";

RegValue Sz(const std::string& text, RegType type = RegType::Sz) { return RegValue::Text(type, text); }

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://home.example", "http://find.example"};
  RepairContext context{registry, commands, config};

  void RepairAll() {
    for (const auto& item : kRepairItems) RunSteps(item.steps, context);
  }
  // One damage for every item that has registry steps.
  void Damage() {
    const std::string hidden = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden)";
    registry.Put(HKLM, hidden + R"(\SHOWALL)", "CheckedValue", Sz("1"));
    registry.Put(HKLM, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)", "AlternateShell", Sz("evil.exe"));
    registry.Put(HKCR, ".lnk", "", Sz("txtfile"));
    registry.Put(HKCR, R"(Directory\shell\find\command)", "", testing::Bytes(RegType::Binary, {1, 2}));
    registry.Put(HKCR, R"(exefile\shell\Open\command)", "", Sz("evil.exe %1"));
    registry.Put(HKCR, R"(CLSID\{8FC0B734-A0E1-11D1-A7D3-0000F87571E3}\InProcServer32)", "",
                 Sz(R"(%SystemRoot%\System32\GPEdit.dll)", RegType::ExpandSz));
    registry.Put(HKCU, kIeMain, "Start Page", Sz("http://bad.example"));
    registry.Put(HKLM, kIeMain, "Window Title", Sz("Hacked"));
    registry.Put(HKCU, R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)", "HomePage", RegValue::Dword(1));
    registry.Put(HKLM, R"(Software\Microsoft\Internet Explorer\Search)", "SearchAssistant", Sz("http://bad.example"));
    registry.Put(HKLM, kWinlogon, "LegalNoticeText", Sz("hi"));
  }
};

TEST(RepairCheck, AgreesWithWhatARepairWouldChangeForEveryItem) {
  enum Start { Intact, Empty, Damaged };
  for (Start start : {Intact, Empty, Damaged}) {
    for (int item = 0; item < kRepairItemCount; ++item) {
      if (kRepairItems[item].steps.empty()) continue;  // the managers
      SCOPED_TRACE(::testing::Message() << "start " << start << " item " << item);
      Rig rig;
      if (start != Empty) rig.RepairAll();
      if (start == Damaged) rig.Damage();
      rig.registry.ClearLog();
      ItemCheck check = CheckSteps(kRepairItems[item].steps, rig.registry, rig.config);
      for (const auto& e : rig.registry.Log()) {
        EXPECT_TRUE(e.op == Op::Open || e.op == Op::Close || e.op == Op::QueryValue || e.op == Op::EnumValue ||
                    e.op == Op::QueryInfo || e.op == Op::Enum);
      }
      EXPECT_EQ(rig.registry.OpenHandles(), 0u);
      // Values only: a key that only holds deletions is created empty and is no damage.
      const std::string before = Dump(rig.registry, false);
      EXPECT_TRUE(RunSteps(kRepairItems[item].steps, rig.context).Succeeded());
      const bool changed = Dump(rig.registry, false) != before;
      EXPECT_EQ(check.state == ItemState::Damaged, changed);
      EXPECT_NE(check.state, ItemState::Unknown);
      EXPECT_EQ(check.commandsNotChecked, item == 0 || item == 5);
      if (start == Damaged && item != 0) {
        EXPECT_EQ(check.state, ItemState::Damaged);
      }
      if (start == Intact) {
        EXPECT_EQ(check.state, ItemState::Intact);
      }
    }
  }
}

TEST(RepairCheck, ReportsWhatItFoundAndWhatItCouldNotRead) {
  Rig rig;
  rig.RepairAll();
  rig.Damage();
  auto find = [](const ItemCheck& c, std::string_view name) {
    for (std::size_t i = 0; i < c.targets.size(); ++i)
      if (c.targets[i].name == name && c.targets[i].kind != StepKind::Key) return c.steps[i];
    return StepCheck{};
  };
  ItemCheck start = CheckSteps(kStartPageSteps, rig.registry, rig.config);
  EXPECT_EQ(start.FirstProblem(), 1u);  // HKCU first; HKLM is intact
  EXPECT_EQ(start.steps[1].found, Sz("http://bad.example"));
  EXPECT_EQ(start.steps[3].state, StepState::Intact);
  // The pages are compared with the settings as the repair would write them.
  rig.config.HomePage = "";
  EXPECT_EQ(CheckSteps(kStartPageSteps, rig.registry, rig.config).steps[3].state, StepState::Differs);
  EXPECT_EQ(find(CheckSteps(kGroupPolicySteps, rig.registry, rig.config), "").found->type, RegType::ExpandSz);
  EXPECT_EQ(find(CheckSteps(kFolderOpenSteps, rig.registry, rig.config), "find").subkeys,
            (std::vector<std::string>{R"(Directory\shell\find)", R"(Directory\shell\find\command)"}));

  rig.registry.FailOn(Op::QueryValue, HKLM, kIeMain);
  ItemCheck title = CheckSteps(kWindowTitleSteps, rig.registry, rig.config);
  EXPECT_EQ(title.state, ItemState::Unknown);
  EXPECT_EQ(title.steps[3].state, StepState::Unreadable);
  EXPECT_EQ(title.steps[3].code, regerr::kAccessDenied);
  rig.registry.Put(HKCU, kIeMain, "Window Title", Sz("x"));  // a difference outweighs an unreadable step
  EXPECT_EQ(CheckSteps(kWindowTitleSteps, rig.registry, rig.config).state, ItemState::Damaged);
}

}  // namespace
}  // namespace orvane

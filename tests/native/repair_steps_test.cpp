// The step interpreter's result rule, the key-tree walk behind item 4, and an
// unstartable command ending its item. The tables' end state is held to the
// system's registry by the Wine tests and the end-to-end run.
#include <gtest/gtest.h>


#include "platform/memory_registry.h"
#include "repair/backup.h"
#include "repair/check.h"
#include "repair/routines.h"
#include "repair/steps.h"
#include "support/recording_commands.h"

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
constexpr RegRoot HKCR = RegRoot::ClassesRoot;
const std::string kShell = R"(Directory\shell)";
const std::string kFind = R"(Directory\shell\find)";

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config;
  RepairContext context{registry, commands, config};

  // find: three levels, several subkeys a level, names of many lengths (one near the longest).
  std::vector<std::string> PlantFindTree() {
    const std::string q(254, 'q');
    std::vector<std::string> keys;
    for (std::string sub : {"a", "Command", R"(Command\ddeexec)", R"(Command\ddeexec\Application)",
                            R"(Command\ddeexec\topic)", R"(Command\x)", "middle name"}) {
      keys.push_back(kFind + "\\" + sub);
    }
    for (std::string sub : {q, q + "\\" + std::string(255, 'Z'), q + R"(\b)"}) keys.push_back(kFind + "\\" + sub);
    for (const std::string& key : keys) registry.PutKey(HKCR, key);
    registry.Put(HKCR, kFind + R"(\Command)", "", RegValue::Text(RegType::Sz, "evil.exe"));
    registry.Put(HKCR, kShell + R"(\findstr\sub)", "v", RegValue::Dword(3));
    registry.PutKey(HKCR, kShell + R"(\open)");
    return keys;
  }
};

TEST(RepairFolderOpen, AFailingLevelEndsOnlyThatLevel) {
  Rig rig;
  rig.PlantFindTree();
  rig.registry.FailOn(Op::QueryInfo, HKCR, kFind + R"(\Command\ddeexec)");
  EXPECT_FALSE(DeleteShellVerbs(rig.registry, "find"));
  // ddeexec and its parents stay; everything else under find is gone.
  EXPECT_EQ(rig.registry.SubkeyNames(HKCR, kFind), std::vector<std::string>{"Command"});
  EXPECT_EQ(rig.registry.SubkeyNames(HKCR, kFind + R"(\Command)"), std::vector<std::string>{"ddeexec"});
  EXPECT_EQ(rig.registry.SubkeyNames(HKCR, kFind + R"(\Command\ddeexec)").size(), 2u);
  EXPECT_EQ(rig.registry.OpenHandles(), 0u);
  EXPECT_FALSE(RepairFolderOpen(rig.context));  // the item cannot remove find and says so
}

// Links in the walks: e2e adversary.sh, on the real registry.
TEST(RepairFolderOpen, ASubkeyThatCannotBeOpenedMakesTheTreeUnreadableNotAbsent) {
  Rig rig;
  rig.registry.Put(HKCR, kFind + R"(\Command)", "", RegValue::Text(RegType::Sz, "evil.exe"));
  rig.registry.FailOn(MemoryRegistry::Op::Open, HKCR, kFind + R"(\Command)", regerr::kFileNotFound);
  EXPECT_NE(CheckSteps(kFolderOpenSteps, rig.registry, rig.config).state, ItemState::Intact);
  BackupBuilder backup(rig.registry);
  backup.Add(ResolveSteps(kFolderOpenSteps, rig.config));
  EXPECT_FALSE(backup.Unread().empty());  // named as unread, not left out as absent
  EXPECT_FALSE(RepairFolderOpen(rig.context));  // find is still there: the item fails
}

TEST(RepairSteps, EachStepReportsItsOutcomeAndAKeyThatCannotBeOpenedSkipsItsWrites) {
  using namespace step;
  constexpr Step steps[] = {Key(HKCR, "a"), Sz("x", "1"), Key(HKCR, "b"), Sz("y", "2"), DeleteValue("gone"),
                            Key(HKCR, "c"), Dword("z", 3)};
  auto outcomes = [](const RunReport& report) {
    std::string text;
    for (const StepOutcome& o : report.outcomes) text += std::to_string(int(o.outcome)) + ":" + std::to_string(o.code) + " ";
    return text;
  };
  Rig rig;
  rig.registry.FailOn(Op::Create, HKCR, "b");
  RunReport report = RunSteps(steps, rig.context);
  // Done 0, NoKey with the key's error 5 for b's write, nothing to delete, the rest done.
  EXPECT_EQ(outcomes(report), "0:0 0:0 2:5 3:5 1:0 0:0 0:0 ");
  EXPECT_EQ(report.FirstFailure(), 2u);
  EXPECT_EQ(report.targets[4].path, "b");
  EXPECT_TRUE(rig.registry.Value(HKCR, "a", "x").has_value());
  EXPECT_EQ(rig.registry.Value(HKCR, "c", "z"), RegValue::Dword(3));
  for (const auto& e : rig.registry.Log()) EXPECT_TRUE(e.path != "b" || e.op == Op::Create || e.op == Op::Open);  // writes skipped
  rig.registry.ClearFailures();
  report = RunSteps(steps, rig.context);
  EXPECT_TRUE(report.Succeeded());  // "gone" is absent: no failure
  EXPECT_EQ(report.outcomes[4].outcome, Outcome::AlreadyAbsent);
  rig.registry.FailOn(Op::DeleteValue, HKCR, "b", regerr::kAccessDenied);
  rig.registry.Put(HKCR, "b", "gone", RegValue::Dword(1));
  report = RunSteps(steps, rig.context);
  EXPECT_EQ(outcomes(report), "6:0 6:0 0:0 6:0 2:5 6:0 6:0 ");  // only b is opened to write
  EXPECT_EQ(rig.registry.OpenHandles(), 0u);
}

// A start or search page that is no web address is never written: the step
// fails with its reason, so rows 7 and 11 turn red; a host name or https is taken.
TEST(RepairSteps, AConfiguredPageThatIsNoWebAddressIsNeverWritten) {
  Rig rig;
  for (const char* page : {"javascript:alert(1)", "file:///C:/x.hta", R"(\\host\share\x.hta)", R"(C:\x.hta)",
                           "http://javascript:alert(1)"}) {
    rig.config = {page, page};
    for (std::span<const Step> steps : {kStartPageSteps, kSearchPageSteps}) {
      RunReport report = RunSteps(steps, rig.context);
      EXPECT_EQ(report.outcomes[report.FirstFailure().value_or(0)].outcome, Outcome::UnsafePage) << page;
    }
    for (const auto& e : rig.registry.Log()) EXPECT_FALSE(e.op == Op::SetValue && e.value == RegValue::Text(RegType::Sz, page));
  }
  rig.config = {"www.example.org/start", "https://search.example:8443/?q="};
  EXPECT_TRUE(RunSteps(kStartPageSteps, rig.context).Succeeded());
  EXPECT_TRUE(RunSteps(kSearchPageSteps, rig.context).Succeeded());
}

// Fails to start the n-th command line (counting from 0).
struct FailingAt : testing::RecordingCommandRunner {
  explicit FailingAt(std::size_t n) : n(n) {}
  std::optional<StartedProcess> Start(std::string_view line, int show) override {
    auto process = RecordingCommandRunner::Start(line, show);
    return calls.size() == n + 1 ? std::nullopt : process;
  }
  std::size_t n;
};

TEST(RepairRoutines, AnUnstartableCommandEndsTheItemThere) {
  MemoryRegistry registry;
  AppConfig config;
  FailingAt commands(4), last(7);
  RepairContext context{registry, commands, config}, network{registry, last, config};
  EXPECT_FALSE(RepairMyComputer(context));
  EXPECT_EQ(commands.calls.size(), 5u);
  EXPECT_TRUE(registry.Log().empty());  // the registry write after the commands never happens
  EXPECT_FALSE(RepairNetworkAccess(network));
  EXPECT_EQ(last.calls.size(), 8u);
}

}  // namespace
}  // namespace orvane

// The repair button and the lock timer against a fake main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <utility>

#include "browsers/clean.h"
#include "platform/memory_registry.h"
#include "repair/key_tree.h"
#include "repair/runner.h"
#include "resources/catalogue.h"
#include "support/memory_files.h"
#include "support/registry_dump.h"
#include "support/recording_commands.h"

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;

struct FakeView : RunnerView {
  std::array<bool, kRepairItemCount> ticks{};
  bool lock = false;
  std::vector<std::string> events;        // every call, in order
  std::function<void()> onPendingEvents;  // runs inside ProcessPendingEvents
  std::array<std::string, kRepairItemCount> caption;
  std::array<std::uint32_t, kRepairItemCount> color{};
  std::array<std::string, kRepairItemCount> tip;
  std::vector<std::uint32_t> posted;           // watches that fired, not yet delivered
  std::function<void(std::uint32_t)> onPosted;  // instead, when set

  bool RowTicked(int row) override { return Log("tick?" + std::to_string(row)), ticks[row]; }
  void SetResultColor(int row, std::uint32_t c) override { color[row] = c; }
  void SetResultCaption(int row, const std::string& text) override { caption[row] = text; }
  void ShowResult(int row) override { Log("result" + std::to_string(row)); }
  void SetRepairButtonEnabled(bool on) override { Log(on ? "button on" : "button off"); }
  void SetResultToolTip(int row, const std::string& text) override { tip[row] = text; }
  bool LockTicked() override { return lock; }
  std::function<void(std::uint32_t)> KeyChangePoster() override {
    return [this](std::uint32_t id) { onPosted ? onPosted(id) : posted.push_back(id); };
  }
  void SetTimerEnabled(bool on) override { Log(on ? "timer on" : "timer off"); }
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
    Log("message " + text + "|" + title + (icon == MessageIcon::Information ? "|i" : ""));
  }
  void ShowMenuManager() override { Log("menu"); }
  std::vector<PolicyLine> browserLines;  // what the browser manager's next session cleans or keeps
  std::vector<PolicyLine> ShowBrowserManager() override {
    Log("browsers");
    return std::exchange(browserLines, {});
  }
  void ProcessPendingEvents() override {
    Log("events");
    if (onPendingEvents) onPendingEvents();
  }
  void RepaintPending() override {
    Log("repaint");
    if (onRepaint) onRepaint();
  }
  std::function<void()> onRepaint;
  void Log(std::string event) { events.push_back(std::move(event)); }
  int Count(const std::string& event) const { return int(std::count(events.begin(), events.end(), event)); }
};

struct Rig {
  FakeView view;
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://a.example", "http://s.example"};
  RepairRunner runner{view, registry, commands, config};
};

const std::string kGreen = "修复成功", kRed = "修复失败";

// Row 13 is locked on what its manager removed in this session: a value that
// comes back goes again, a line the person left unticked later is let go, and
// nothing is touched before a clean. Neither manager opens but from the button.
TEST(RepairRunner, LockModeKeepsRemovedOnlyThePoliciesTheBrowserManagerCleaned) {
  Rig rig;
  const std::string chrome = R"(SOFTWARE\Policies\Google\Chrome)";
  const std::vector<std::string> names = {"HomepageLocation", "ProxyServer", "NewTabPageLocation", "Metrics"};
  auto line = [&](int name, bool cleaned) {
    BrowserFinding finding;
    finding.policy = {.root = RegRoot::LocalMachine, .keyPath = chrome, .sid = {}, .name = names[name], .shown = {}};
    return PolicyLine{FindingTargets(finding), cleaned};
  };
  auto planted = [&] {  // another process puts them all back: those left after 40 ticks
    std::string left;
    for (const std::string& name : names) rig.registry.Put(RegRoot::LocalMachine, chrome, name, RegValue::Dword(1));
    for (int tick = 0; tick < 40; ++tick) rig.runner.OnTimerTick();
    for (const std::string& name : names) left += rig.registry.Value(RegRoot::LocalMachine, chrome, name) ? "1" : "0";
    return left;
  };
  rig.view.ticks[kBrowserManagerItem] = rig.view.ticks[kMenuManagerItem] = rig.view.lock = true;
  EXPECT_EQ(planted(), "1111");
  rig.view.browserLines = {line(0, true), line(1, false), line(2, true)};
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(planted() + planted(), "01010101");
  rig.view.browserLines = {line(0, false)};  // left unticked in a later clean: let go
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(planted(), "1101");
  EXPECT_EQ(std::pair(rig.view.Count("browsers"), rig.view.Count("menu")), std::pair(2, 2));
  EXPECT_EQ(rig.view.caption[kMenuManagerItem], "");
}

// A row is green only when both registry views are repaired.
TEST(RepairRunner, RowsShowTheirLatestOutcomeAndTicksAreReadWhenReached) {
  Rig rig;
  rig.view.ticks[7] = true;
  rig.registry.FailOn(Op::SetValue, RegRoot::LocalMachine, R"(SOFTWARE\Wow6432Node)");
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(std::pair(rig.view.caption[7], rig.view.color[7]), std::pair(kRed, 255u));
  EXPECT_NE(rig.view.tip[7].find("Wow6432Node"), std::string::npos);
  EXPECT_EQ(rig.view.events.back(), "button on");  // lock not ticked: timer stays off
  rig.registry.ClearFailures();
  rig.registry.ClearLog();
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(std::pair(rig.view.caption[7], rig.view.color[7]), std::pair(kGreen, 65280u));
  for (const auto& e : rig.registry.Log()) EXPECT_TRUE(e.op != Op::SetValue || e.path.find("Wow6432Node") == 9) << e.path;
  EXPECT_EQ(rig.view.caption[8], "");

  Rig late;
  late.view.ticks[1] = late.view.ticks[9] = true;
  late.view.onPendingEvents = [&] {  // the user clicks while row 1 is shown
    late.view.ticks[9] = false;
    late.view.ticks[12] = late.view.lock = true;
  };
  late.runner.OnRepairButtonClick();
  EXPECT_EQ(late.view.Count("result1") + late.view.Count("result12"), 2);
  EXPECT_EQ(late.view.Count("result9"), 0);
  EXPECT_EQ(late.view.events.back(), "timer on");
}

TEST(RepairRunner, ALockPassOnlyRepaintsAndInputWaitsUntilAfterIt) {
  Rig rig;
  rig.view.ticks[2] = rig.view.ticks[8] = rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(rig.view.Count("events"), 2);  // the button's run takes input between items
  rig.view.events.clear();
  rig.runner.OnTimerTick();
  EXPECT_EQ(rig.view.events, (std::vector<std::string>{"tick?0", "tick?1", "tick?2", "tick?3", "tick?4",
                                                       "tick?5", "tick?6", "tick?7", "tick?8", "tick?9",
                                                       "tick?11", "tick?12", "tick?13", "result2", "repaint", "result8",
                                                       "repaint"}));
  // A tick that falls due inside the button's run (a modal loop) waits for the next one.
  rig.view.onPendingEvents = [&] { rig.runner.OnTimerTick(); };
  rig.view.events.clear();
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(rig.view.Count("result2"), 1);
}

const std::string kIeMain = R"(Software\Microsoft\Internet Explorer\Main)";

// Delivers the fired watches as the window's message loop would; returns how many.
std::size_t Deliver(Rig& rig) {
  std::vector<std::uint32_t> ids;
  ids.swap(rig.view.posted);
  for (std::uint32_t id : ids) rig.runner.OnKeyChanged(id);
  return ids.size();
}

// Registrations run once per locking (the button's run that starts it counts),
// then again only when a class they registered is deleted or names another
// file: once, not for ever.
TEST(RepairRunner, LockModeRunsRegistrationsAgainOnlyWhenAClassTheyRegisteredIsGone) {
  Rig rig;
  rig.commands.follow = true;
  const RegRoot hkcr = RegRoot::ClassesRoot;
  const std::string urlmon = R"(CLSID\{79EAC9E0-BAF9-11CE-8C82-00AA004BA90B})", other = R"(CLSID\{0000AAAA-0000-0000-0000-000000000000})";
  const RegValue own = RegValue::Text(RegType::Sz, R"(C:\windows\system32\urlmon.dll)");
  rig.registry.Put(hkcr, urlmon + R"(\InprocServer32)", "", own);
  rig.registry.Put(hkcr, other + R"(\InprocServer32)", "", RegValue::Text(RegType::Sz, R"(C:\x\other.dll)"));
  const std::string msi = R"(CLSID\{000C1090-0000-0000-C000-000000000046}\InprocServer32)";  // item 5's
  rig.registry.Put(hkcr, msi, "", RegValue::Text(RegType::Sz, "msi.dll"));
  rig.view.ticks[0] = rig.view.ticks[5] = rig.view.ticks[2] = rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  auto settle = [&](int ticks) {  // a while of timer ticks; every registration ends well
    for (int tick = 0; tick < ticks; ++tick) {
      while (!rig.commands.followed.empty()) rig.commands.End(rig.commands.followed.begin()->first, 0u);
      while (Deliver(rig) > 0) {}
      rig.runner.OnTimerTick();
    }
  };
  auto runs = [&](const char* library) {
    return std::ranges::count_if(rig.commands.calls, [&](const auto& c) { return c.commandLine.ends_with(library); });
  };
  settle(600);  // a minute, nothing changing
  EXPECT_EQ(rig.commands.calls.size(), 17u);  // the button's, which the locking's first pass does not repeat
  // Item 5's key changed, and another library's class: its value is put back, nothing is started.
  rig.registry.Put(hkcr, R"(exefile\shell\Open\command)", "", RegValue::Text(RegType::Sz, "x"));
  rig.registry.Put(hkcr, other + R"(\InprocServer32)", "", RegValue::Text(RegType::Sz, "y.dll"));
  settle(20);
  EXPECT_EQ(rig.registry.Value(hkcr, R"(exefile\shell\Open\command)", "")->AsText(), R"("%1" %*)");
  EXPECT_EQ(rig.commands.calls.size(), 17u);
  // The class now names another file: item 0 registers again, once; its registration puts it back.
  rig.registry.Put(hkcr, urlmon + R"(\InprocServer32)", "", RegValue::Text(RegType::Sz, R"(C:\x\evil.dll)"));
  while (Deliver(rig) > 0) {}
  rig.registry.Put(hkcr, urlmon + R"(\InprocServer32)", "", own);  // its registration writes it back
  settle(100);
  EXPECT_EQ(std::pair(runs("Urlmon.dll"), runs("appwiz.cpl")), std::pair(2L, 1L));
  // Deleted whole: once more, and not again although nothing writes it back.
  // Meanwhile item 5's class is removed and written anew, as a registration does: no loss.
  rig.commands.keepRunning = true;
  EXPECT_EQ(DeleteKeyTree(rig.registry, hkcr, urlmon), regerr::kSuccess);
  while (Deliver(rig) > 0) {}
  EXPECT_EQ(DeleteKeyTree(rig.registry, hkcr, msi), regerr::kSuccess);
  while (Deliver(rig) > 0) {}
  rig.registry.Put(hkcr, msi, "", RegValue::Text(RegType::Sz, "msi.dll"));
  rig.commands.keepRunning = false;
  settle(600);
  EXPECT_EQ(std::pair(runs("Urlmon.dll"), runs("appwiz.cpl")), std::pair(3L, 1L));
  rig.runner.OnRepairButtonClick();  // the button starts them whatever lock mode did
  EXPECT_EQ(rig.commands.calls.size(), 17u + 8u + 8u + 17u);
}

TEST(RepairRunner, LockModeWritesNothingWhileNothingChangesAndRestoresOnlyWhatTouchesAChangedKey) {
  Rig rig;
  rig.registry.PutKey(RegRoot::ClassesRoot, R"(Directory\shell)");
  for (int row : {1, 2, 3, 4, 6, 7, 8, 9, 11, 12}) rig.view.ticks[row] = true;
  rig.view.lock = true;
  rig.runner.OnRepairButtonClick();  // from an empty registry
  rig.registry.ClearLog();
  rig.runner.OnRepairButtonClick();  // intact: green, nothing written
  EXPECT_EQ(rig.registry.Writes(), 0u);
  for (int row : {1, 7, 12}) EXPECT_EQ(rig.view.caption[row], kGreen);
  for (int tick = 0; tick < 30; ++tick) rig.runner.OnTimerTick();  // arms the watches, reads twice
  EXPECT_GT(rig.registry.ArmedWatches(), 20u);
  rig.registry.ClearLog();
  for (int tick = 0; tick < 100; ++tick) rig.runner.OnTimerTick();
  EXPECT_TRUE(rig.view.posted.empty());
  // Ten seconds of the safety net: each key holding values asked once a second when it last changed, nothing read.
  std::map<std::pair<RegRoot, std::string>, int> asked;
  for (const auto& e : rig.registry.Log()) {
    EXPECT_EQ(e.op, Op::QueryInfo) << e.path << " " << int(e.op);
    ++asked[{e.root, e.path}];
  }
  EXPECT_GT(asked.size(), 20u);
  for (const auto& [key, times] : asked) EXPECT_EQ(times, 10) << key.second;
  EXPECT_EQ(asked.count({RegRoot::LocalMachine, "SOFTWARE"}), 0u);  // keys above them are not asked

  // Another program changes a value: the rows touching that key run, the value is written once.
  struct Case { RegRoot root; std::string path; const char* name; std::vector<int> rows; };
  const std::vector<Case> cases = {
      {RegRoot::CurrentUser, kIeMain, "Start Page", {7, 8}},
      {RegRoot::LocalMachine, Wow64Path(RegRoot::LocalMachine, kIeMain), "Start Page", {7, 8}},
      {RegRoot::LocalMachine, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)", "AlternateShell", {2}},
      {RegRoot::ClassesRoot, R"(Directory\shell\find)", "", {4}},
  };
  std::map<int, int> restores;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    rig.view.events.clear();
    rig.registry.ClearLog();
    rig.registry.Put(c.root, c.path, c.name, RegValue::Text(RegType::Sz, "tampered"));
    EXPECT_GE(Deliver(rig), 1u);
    for (int row = 0; row < kRepairItemCount; ++row) {
      const bool touches = std::count(c.rows.begin(), c.rows.end(), row) > 0;
      EXPECT_EQ(rig.view.Count("result" + std::to_string(row)) > 0, touches) << row;
    }
    EXPECT_EQ(rig.registry.Writes(), 1u);
    EXPECT_FALSE(rig.registry.KeyExists(RegRoot::ClassesRoot, R"(Directory\shell\find)"));
    while (Deliver(rig) > 0) {}  // its own write fires once more: read, nothing written
    EXPECT_EQ(rig.registry.Writes(), 1u);
    const std::string times = " " + std::to_string(++restores[c.rows[0]]) + " ";
    EXPECT_NE(rig.view.tip[c.rows[0]].find(times), std::string::npos) << rig.view.tip[c.rows[0]];
  }
  EXPECT_EQ(rig.registry.Value(RegRoot::LocalMachine, Wow64Path(RegRoot::LocalMachine, kIeMain), "Start Page")->AsText(),
            "http://a.example");
  rig.runner.OnTimerTick();  // watches of deleted keys moved to their parents: quiet again
  rig.registry.ClearLog();
  for (int tick = 0; tick < 10; ++tick) rig.runner.OnTimerTick();
  const auto& log = rig.registry.Log();
  EXPECT_EQ(rig.registry.Writes() + std::ranges::count(log, Op::Watch, &MemoryRegistry::Event::op), 0u);
  EXPECT_EQ(rig.runner.MissedChanges(), 0u);
}

TEST(RepairRunner, TheSafetyNetPutsBackAChangeNoWatchReportedAndCountsIt) {
  Rig rig;
  rig.view.ticks[7] = rig.view.ticks[8] = rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  for (int tick = 0; tick < 30; ++tick) rig.runner.OnTimerTick();
  rig.view.onPosted = [](std::uint32_t) {};  // the signals are lost on their way
  const std::string ie = R"(Software\Microsoft\Internet Explorer)";
  const std::vector<std::function<void()>> changes = {
      [&] { rig.registry.Put(RegRoot::CurrentUser, kIeMain, "Start Page", RegValue::Text(RegType::Sz, "x")); },
      [&] { rig.registry.Put(RegRoot::CurrentUser, kIeMain, "Window Title", RegValue::Text(RegType::Sz, "x")); },
      [&] {  // the browser's key deleted whole and made again
        ASSERT_EQ(DeleteKeyTree(rig.registry, RegRoot::CurrentUser, R"(Software\Microsoft\Internet Explorer)"),
                  regerr::kSuccess);
        rig.registry.Put(RegRoot::CurrentUser, kIeMain, "Start Page", RegValue::Text(RegType::Sz, "y"));
      },
      [&] { rig.registry.Put(RegRoot::CurrentUser, kIeMain, "Start Page", RegValue::Text(RegType::Sz, "z")); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    changes[i]();
    for (int tick = 0; tick < 25; ++tick) rig.runner.OnTimerTick();
    EXPECT_EQ(rig.registry.Value(RegRoot::CurrentUser, kIeMain, "Start Page")->AsText(), "http://a.example");
    EXPECT_EQ(rig.registry.Value(RegRoot::CurrentUser, kIeMain, "Window Title")->AsText(), "Microsoft Internet Explorer");
  }
  EXPECT_GE(rig.runner.MissedChanges(), 3u);  // a deleted key is watched afresh, not counted
}

TEST(RepairRunner, AChangeSeenDuringAPassIsRestoredAfterItAndUntickedRowsAreLetGo) {
  Rig rig;
  rig.view.ticks[7] = rig.view.ticks[2] = rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  rig.runner.OnTimerTick();
  rig.view.onPosted = [&](std::uint32_t id) { rig.runner.OnKeyChanged(id); };  // at once, even inside a pass
  bool tampered = false;
  rig.view.onRepaint = [&] {  // while row 2 is restored, the start page changes too
    if (!std::exchange(tampered, true)) {
      rig.registry.Put(RegRoot::CurrentUser, kIeMain, "Start Page", RegValue::Text(RegType::Sz, "x"));
    }
  };
  rig.view.events.clear();
  rig.registry.Put(RegRoot::LocalMachine, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)", "AlternateShell",
                   RegValue::Dword(0));
  EXPECT_TRUE(tampered);
  EXPECT_EQ(rig.registry.Value(RegRoot::CurrentUser, kIeMain, "Start Page")->AsText(), "http://a.example");
  // Row 7 ran after row 2, not inside it.
  EXPECT_EQ(rig.view.events[1], "repaint");
  EXPECT_GE(rig.view.Count("result7"), 1);  // and once more, reading, after its own write
  // Unticked while locked: let go at the next tick.
  rig.view.ticks[7] = false;
  rig.runner.OnTimerTick();
  rig.registry.Put(RegRoot::CurrentUser, kIeMain, "Start Page", RegValue::Text(RegType::Sz, "y"));
  rig.runner.OnTimerTick();
  EXPECT_EQ(rig.registry.Value(RegRoot::CurrentUser, kIeMain, "Start Page")->AsText(), "y");
}

// Run as another account, the window also mends the class overrides of the
// person at the keyboard, backed up like the rest; their HKEY_CURRENT_USER
// share is not made twice.
TEST(RepairRunner, TheInteractiveUsersClassOverridesAreCheckedAndRepaired) {
  const std::string sid = "S-1-5-21-1111-2222-3333-1001", lnk = sid + R"(_Classes\.lnk)";
  const RegValue txt = RegValue::Text(RegType::Sz, "txtfile");
  testing::MemoryFiles files;  // outlives the runner, whose lock log it keeps
  Rig rig;
  rig.runner.KeepJournal(files, "1.0");
  rig.view.ticks[3] = true;
  rig.runner.OnRepairButtonClick();
  rig.registry.Put(RegRoot::Users, lnk, "", txt);
  const std::string machine = testing::Dump(rig.registry);
  rig.runner.AlsoUserClasses(sid);
  rig.runner.CheckAllItems();
  EXPECT_EQ(rig.view.caption[3], LoadString(3110));
  EXPECT_NE(rig.view.tip[3].find(lnk), std::string::npos) << rig.view.tip[3];
  files.stamp = "2026-12-06_15-00-00";
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(rig.view.caption[3], kGreen);
  EXPECT_EQ(rig.registry.Value(RegRoot::Users, lnk, ""), RegValue::Text(RegType::Sz, "lnkfile"));
  EXPECT_FALSE(rig.registry.KeyExists(RegRoot::Users, sid));
  files.stamp = "2026-12-06_15-00-01";
  rig.runner.UndoLastRepair();
  EXPECT_EQ(testing::Dump(rig.registry), machine);
  EXPECT_EQ(rig.registry.Value(RegRoot::Users, lnk, ""), txt);
  // Lock mode watches the override too.
  rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  rig.runner.OnTimerTick();
  rig.registry.Put(RegRoot::Users, lnk, "", txt);
  EXPECT_GE(Deliver(rig), 1u);
  EXPECT_EQ(rig.registry.Value(RegRoot::Users, lnk, ""), RegValue::Text(RegType::Sz, "lnkfile"));
}

}  // namespace
}  // namespace orvane

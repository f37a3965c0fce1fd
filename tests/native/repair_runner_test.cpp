// The repair button and the lock timer against a fake main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "platform/memory_registry.h"
#include "repair/runner.h"
#include "resources/catalogue.h"
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

  bool RowTicked(int row) override { return Log("tick?" + std::to_string(row)), ticks[row]; }
  void SetResultColor(int row, std::uint32_t c) override { color[row] = c; }
  void SetResultCaption(int row, const std::string& text) override { caption[row] = text; }
  void ShowResult(int row) override { Log("result" + std::to_string(row)); }
  void SetRepairButtonEnabled(bool on) override { Log(on ? "button on" : "button off"); }
  bool LockTicked() override { return lock; }
  void SetTimerEnabled(bool on) override { Log(on ? "timer on" : "timer off"); }
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
    Log("message " + text + "|" + title + (icon == MessageIcon::Information ? "|i" : ""));
  }
  void ShowMenuManager() override { Log("menu"); }
  void ProcessPendingEvents() override {
    Log("events");
    if (onPendingEvents) onPendingEvents();
  }
  void RepaintPending() override { Log("repaint"); }
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

TEST(RepairRunner, NoTickedRowShowsTheMessageAndTurnsLockOff) {
  Rig rig;
  rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  std::vector<std::string> expected = {"timer off"};
  for (int row = 0; row < kRepairItemCount; ++row) expected.push_back("tick?" + std::to_string(row));
  expected.push_back("message 您未选择任何修复项|" + LoadString(999) + "|i");
  EXPECT_EQ(rig.view.events, expected);
  EXPECT_FALSE(LoadString(999).empty());
  EXPECT_TRUE(rig.registry.Log().empty());
}

TEST(RepairRunner, MenuRowOpensTheManagerOnlyFromTheButton) {
  Rig rig;
  rig.view.ticks[kMenuManagerItem] = rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(std::vector(rig.view.events.end() - 2, rig.view.events.end()),
            (std::vector<std::string>{"button on", "timer on"}));
  EXPECT_EQ(rig.view.Count("button off"), 1);
  EXPECT_EQ(rig.view.caption[kMenuManagerItem], "");
  rig.runner.OnTimerTick();
  EXPECT_EQ(rig.view.Count("menu"), 1);
  EXPECT_TRUE(rig.registry.Log().empty());
}

TEST(RepairRunner, RowsShowTheirLatestOutcomeAndTicksAreReadWhenReached) {
  Rig rig;
  rig.view.ticks[7] = true;
  rig.registry.FailOn(Op::SetValue, RegRoot::LocalMachine, "");
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(std::pair(rig.view.caption[7], rig.view.color[7]), std::pair(kRed, 255u));
  EXPECT_EQ(rig.view.events.back(), "button on");  // lock not ticked: timer stays off
  rig.registry.ClearFailures();
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(std::pair(rig.view.caption[7], rig.view.color[7]), std::pair(kGreen, 65280u));
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
  EXPECT_EQ(rig.view.events, (std::vector<std::string>{"tick?0", "tick?1", "tick?2", "result2", "repaint",
                                                       "tick?3", "tick?4", "tick?5", "tick?6", "tick?7",
                                                       "tick?8", "result8", "repaint", "tick?9", "tick?11",
                                                       "tick?12"}));
  // A tick that falls due inside the button's run (a modal loop) waits for the next one.
  rig.view.onPendingEvents = [&] { rig.runner.OnTimerTick(); };
  rig.view.events.clear();
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(rig.view.Count("result2"), 1);
}

TEST(RepairRunner, LockPassesDoNotRestartCommandsStillRunning) {
  Rig rig;
  rig.commands.keepRunning = true;
  rig.view.ticks[0] = rig.view.ticks[5] = rig.view.ticks[2] = rig.view.lock = true;
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(rig.commands.calls.size(), 17u);
  for (int tick = 0; tick < 5; ++tick) rig.runner.OnTimerTick();
  EXPECT_EQ(rig.commands.calls.size(), 17u);
  EXPECT_EQ(rig.view.Count("result0"), 1);  // the row keeps its last result
  EXPECT_EQ(rig.view.Count("result2"), 6);  // other items are still held
  // Item 0's processes end; item 5's one straggler keeps item 5 waiting.
  rig.commands.running = {*std::prev(rig.commands.running.end())};
  rig.runner.OnTimerTick();
  EXPECT_EQ(rig.commands.calls.size(), 25u);
  rig.commands.running.clear();
  rig.commands.keepRunning = false;
  rig.runner.OnTimerTick();
  EXPECT_EQ(rig.commands.calls.size(), 25u + 8u + 9u);
  rig.commands.keepRunning = true;  // the button starts commands whatever still runs
  rig.runner.OnRepairButtonClick();
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(rig.commands.calls.size(), 42u + 34u);
}

TEST(RepairRunner, AnUnstartableCommandTurnsTheRowRed) {
  Rig rig;
  rig.commands.unstartable.insert("regsvr32");
  rig.view.ticks[5] = rig.view.ticks[6] = true;
  rig.runner.OnRepairButtonClick();
  EXPECT_EQ(rig.view.caption[5], kRed);
  EXPECT_EQ(rig.view.caption[6], kGreen);
  EXPECT_FALSE(rig.registry.KeyExists(RegRoot::ClassesRoot, "exefile"));
}

}  // namespace
}  // namespace orvane

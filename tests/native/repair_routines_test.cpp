// Each routine against the in-memory registry: the exact operations, in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

#include "platform/memory_registry.h"
#include "repair/routines.h"
#include "support/recording_commands.h"

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
using Event = MemoryRegistry::Event;
constexpr RegRoot HKCR = RegRoot::ClassesRoot, HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;

std::string Describe(const Event& e) {
  std::ostringstream out;
  out << "op " << static_cast<int>(e.op) << ' ' << std::hex << static_cast<std::uint32_t>(e.root) << '\\'
      << e.path << " [" << e.name << "] type " << static_cast<int>(e.value.type) << ':';
  for (auto byte : e.value.data) out << ' ' << int(byte);
  out << " -> " << std::dec << e.result;
  return out.str();
}

bool IsWrite(const Event& e) {
  return e.op == Op::Create || e.op == Op::SetValue || e.op == Op::DeleteValue || e.op == Op::DeleteKey;
}

// Compares the writes; reads come first and are not listed.
void ExpectLog(std::vector<Event> actual, std::vector<Event> expected) {
  std::erase_if(actual, [](const Event& e) { return !IsWrite(e); });
  std::erase_if(expected, [](const Event& e) { return !IsWrite(e); });
  for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
    if (i < actual.size() && i < expected.size() && actual[i] == expected[i]) continue;
    ADD_FAILURE() << "operation " << i << "\n  actual:   "
                  << (i < actual.size() ? Describe(actual[i]) : "(nothing)")
                  << "\n  expected: " << (i < expected.size() ? Describe(expected[i]) : "(nothing)");
    return;
  }
}

// Every key, value, type and byte below the three roots.
std::string Dump(const MemoryRegistry& reg) {
  std::ostringstream out;
  std::function<void(RegRoot, const std::string&)> walk = [&](RegRoot root, const std::string& path) {
    out << static_cast<std::uint32_t>(root) << '\\' << path << '\n';
    for (const std::string& name : reg.ValueNames(root, path)) {
      RegValue v = *reg.Value(root, path, name);
      out << "  " << name << '=' << static_cast<int>(v.type) << ':';
      for (auto byte : v.data) out << ' ' << int(byte);
      out << '\n';
    }
    for (const std::string& sub : reg.SubkeyNames(root, path)) walk(root, path.empty() ? sub : path + "\\" + sub);
  };
  for (RegRoot root : {HKCR, HKCU, HKLM}) walk(root, "");
  return out.str();
}

// One table row: a key and what is done to it, between its create and its close.
struct Write { Op op; std::string name; RegValue value; long result = 0; };
struct KeyRow { RegRoot root; std::string path; std::vector<Write> writes; };
Write Sz(std::string n, std::string t) { return {Op::SetValue, std::move(n), RegValue::Text(RegType::Sz, t)}; }
Write Ex(std::string n, std::string t) { return {Op::SetValue, std::move(n), RegValue::Text(RegType::ExpandSz, t)}; }
Write Dw(std::string n, std::uint32_t v) { return {Op::SetValue, std::move(n), RegValue::Dword(v)}; }
Write Del(std::string n) { return {Op::DeleteValue, std::move(n), {}, regerr::kFileNotFound}; }

// The writes to an empty registry: nothing to delete there; keys Windows
// keeps apart in two views are written in both.
std::vector<Event> Events(const std::vector<KeyRow>& table) {
  std::vector<Event> log;
  for (const KeyRow& k : table) {
    if (std::all_of(k.writes.begin(), k.writes.end(), [](const Write& w) { return w.op == Op::DeleteValue; })) continue;
    const std::string paths[] = {k.path, Wow64Path(k.root, k.path)};
    for (const std::string& path : paths) {
      if (&path != paths && path == k.path) break;
      log.push_back({Op::Create, k.root, path, "", {}, 0});
      for (const Write& w : k.writes) log.push_back({w.op, k.root, path, w.name, w.value, w.result});
    }
  }
  return log;
}

const std::string kLnk = "{00021401-0000-0000-C000-000000000046}";
const std::string kLnkClsid = R"(CLSID\)" + kLnk;
const std::string kAdvanced = R"(Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced)";
const std::string kHidden = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden)";
const std::string kIeMain = R"(Software\Microsoft\Internet Explorer\Main)";
const std::string kSearch = R"(Software\Microsoft\Internet Explorer\Search)";
const std::string kWinlogon = R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)";
const std::string kWinlogonNt = R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon)";
const std::string kSystemPolicies = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System)";
const std::string kHome = "http://home.example/a b", kIe = "Microsoft Internet Explorer";
const std::string kPolicy = R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)";

struct Case { const char* name; int item; bool (*routine)(RepairContext&); std::vector<KeyRow> table; };

std::vector<Write> Radio(const char* text, const char* help, std::uint32_t checked) {
  return {Sz("RegPath", kAdvanced), Sz("Text", text), Sz("Type", "radio"), Sz("HelpID", help),
          Sz("ValueName", "Hidden"), Dw("CheckedValue", checked), Dw("DefaultValue", 2),
          Dw("HKeyRoot", 0x80000001)};
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"HiddenFiles", 1, RepairHiddenFiles,
       {{HKLM, kHidden, {Sz("Text", "@shell32.dll,-30499"), Sz("Type", "group"),
                         Ex("Bitmap", R"(%SystemRoot%\system32\shell32.dll,4)"), Sz("HelpID", "shell.hlp#51131")}},
        {HKLM, kHidden + R"(\NOHIDDEN)", Radio("@shell32.dll,-30501", "shell.hlp#51104", 2)},
        {HKLM, kHidden + R"(\SHOWALL)", Radio("@shell32.dll,-30500", "shell.hlp#51105", 1)}}},
      {"SafeMode", 2, RepairSafeMode, {{HKLM, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)", {Sz("AlternateShell", "cmd.exe")}}}},
      {"Shortcuts", 3, RepairShortcuts,
       {{HKCR, ".lnk", {Sz("", "lnkfile")}},
        {HKCR, R"(.lnk\ShellEx\{000214EE-0000-0000-C000-000000000046})", {Sz("", kLnk)}},
        {HKCR, R"(.lnk\ShellEx\{000214F9-0000-0000-C000-000000000046})", {Sz("", kLnk)}},
        {HKCR, R"(.lnk\ShellEx\{00021500-0000-0000-C000-000000000046})", {Sz("", kLnk)}},
        {HKCR, R"(.lnk\ShellEx\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1})", {Sz("", kLnk)}},
        {HKCR, R"(.lnk\ShellNew)", {Sz("Command", "rundll32.exe appwiz.cpl,NewLinkHere %1")}},
        {HKCR, "lnkfile", {Sz("", "Shortcut"), Sz("IsShortcut", ""), Sz("NeverShowExt", ""), Dw("EditFlags", 1)}},
        {HKCR, R"(lnkfile\CLSID)", {Sz("", kLnk)}},
        {HKCR, R"(lnkfile\shellex\ContextMenuHandlers\Offline Files)",
         {Sz("", "{750fdf0e-2a26-11d1-a3ea-080036587f03}")}},
        {HKCR, R"(lnkfile\shellex\DropHandler)", {Sz("", kLnk)}},
        {HKCR, R"(lnkfile\shellex\IconHandler)", {Sz("", kLnk)}},
        {HKCR, R"(lnkfile\shellex\PropertySheetHandlers\ShimLayer Property Page)",
         {Sz("", "{513D916F-2A8E-4F51-AEAB-0CBC76FB1AF8}")}},
        {HKCR, kLnkClsid, {Sz("", "Shortcut")}},
        {HKCR, kLnkClsid + R"(\InProcServer32)", {Sz("", "shell32.dll"), Sz("ThreadingModel", "Apartment")}},
        {HKCR, kLnkClsid + R"(\PersistentAddinsRegistered\{89BCB740-6119-101A-BCB7-00DD010655AF})", {Sz("", kLnk)}},
        {HKCR, kLnkClsid + R"(\PersistentHandler)", {Sz("", kLnk)}},
        {HKCR, kLnkClsid + R"(\ProgID)", {Sz("", "lnkfile")}}}},
      {"GroupPolicy", 6, RepairGroupPolicy,
       {{HKCR, R"(CLSID\{8FC0B734-A0E1-11D1-A7D3-0000F87571E3}\InProcServer32)",
         {Sz("", R"(%SystemRoot%\System32\GPEdit.dll)")}}}},
      {"StartPage", 7, RepairStartPage, {{HKCU, kIeMain, {Sz("Start Page", kHome)}}, {HKLM, kIeMain, {Sz("Start Page", kHome)}}}},
      {"WindowTitle", 8, RepairWindowTitle, {{HKCU, kIeMain, {Sz("Window Title", kIe)}}, {HKLM, kIeMain, {Sz("Window Title", kIe)}}}},
      {"HomeButton", 9, RepairHomeButton, {{HKCU, kPolicy, {Del("HomePage")}}}},
      {"SearchPage", 11, RepairSearchPage,
       {{HKLM, kSearch, {Sz("CustomizeSearch", "http://find.example"), Sz("SearchAssistant", "http://find.example")}}}},
      {"LogonNotice", 12, RepairLogonNotice,
       {{HKLM, kWinlogon, {Del("LegalNoticeCaption"), Del("LegalNoticeText")}},
        {HKLM, kWinlogonNt, {Del("LegalNoticeCaption"), Del("LegalNoticeText")}},
        {HKLM, kSystemPolicies, {Del("LegalNoticeCaption"), Del("LegalNoticeText")}}}},
  };
  return cases;
}

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config{kHome, "http://find.example"};
  RepairContext context{registry, commands, config};
};

TEST(RepairRoutines, WriteExactlyTheirTablesCloseEveryKeyAndRepeatIdempotently) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    Rig rig;
    EXPECT_TRUE(c.routine(rig.context));
    ExpectLog(rig.registry.Log(), Events(c.table));
    EXPECT_EQ(rig.registry.OpenHandles(), 0u);
    EXPECT_TRUE(rig.commands.calls.empty());

    Rig twice;  // with values to delete present, a second run changes nothing
    twice.registry.Put(HKCU, kPolicy, "HomePage", RegValue::Dword(1));
    twice.registry.Put(HKLM, kWinlogon, "LegalNoticeText", RegValue::Text(RegType::Sz, "hello"));
    EXPECT_TRUE(c.routine(twice.context));
    std::string once = Dump(twice.registry);
    EXPECT_TRUE(c.routine(twice.context));
    EXPECT_EQ(Dump(twice.registry), once);
  }
}

TEST(RepairRoutines, RefusedMachineWritesFailTheMachineItemsButTheirOtherStepsRun) {
  const std::set<int> machineItems = {1, 2, 7, 8, 11};  // item 12 finds nothing to delete
  for (Op refused : {Op::Create, Op::SetValue}) {
    for (const Case& c : Cases()) {
      SCOPED_TRACE(c.name);
      Rig rig;
      rig.registry.FailOn(refused, HKLM, "");
      rig.registry.FailOn(Op::DeleteValue, HKLM, "");
      EXPECT_EQ(c.routine(rig.context), !machineItems.count(c.item));
      EXPECT_EQ(rig.registry.OpenHandles(), 0u);
      // Every key of the table is still attempted, and every write to a key that opened.
      std::vector<Event> expected;
      for (Event e : Events(c.table)) {
        if (e.root == HKLM && refused == Op::Create) {
          if (e.op != Op::Create) continue;
          e.result = regerr::kAccessDenied;
        } else if (e.root == HKLM && (e.op == Op::SetValue || e.op == Op::DeleteValue)) {
          e.result = regerr::kAccessDenied;
        }
        expected.push_back(e);
      }
      ExpectLog(rig.registry.Log(), expected);
    }
  }
}

TEST(RepairRoutines, DamagedValuesAreMendedAndOtherValuesAndKeysKept) {
  Rig rig;
  rig.registry.Put(HKLM, kHidden + R"(\SHOWALL)", "CheckedValue", RegValue::Text(RegType::Sz, "1"));
  rig.registry.Put(HKLM, kHidden, "Bitmap", RegValue::Text(RegType::Sz, "x"));
  rig.registry.Put(HKLM, kHidden, "Other", RegValue::Dword(7));
  rig.registry.Put(HKLM, kWinlogon, "LegalNoticeCaption", RegValue::Text(RegType::Sz, "c"));
  rig.registry.Put(HKLM, kWinlogon, "Shell", RegValue::Text(RegType::Sz, "explorer.exe"));
  rig.registry.Put(HKLM, kWinlogonNt, "LegalNoticeText", RegValue::Text(RegType::Sz, "t"));
  rig.registry.Put(HKLM, kWinlogonNt, "Shell", RegValue::Text(RegType::Sz, "explorer.exe"));
  rig.registry.Put(HKLM, kSystemPolicies, "LegalNoticeCaption", RegValue::Text(RegType::Sz, "c"));
  EXPECT_TRUE(RepairHiddenFiles(rig.context));
  EXPECT_TRUE(RepairLogonNotice(rig.context));
  EXPECT_TRUE(RepairHomeButton(rig.context));
  EXPECT_EQ(rig.registry.Value(HKLM, kHidden + R"(\SHOWALL)", "CheckedValue"), RegValue::Dword(1));
  EXPECT_EQ(rig.registry.Value(HKLM, kHidden, "Bitmap")->type, RegType::ExpandSz);
  EXPECT_EQ(rig.registry.Value(HKLM, kHidden, "Other"), RegValue::Dword(7));
  EXPECT_EQ(rig.registry.ValueNames(HKLM, kWinlogon), std::vector<std::string>{"Shell"});
  EXPECT_EQ(rig.registry.ValueNames(HKLM, kWinlogonNt), std::vector<std::string>{"Shell"});
  EXPECT_TRUE(rig.registry.ValueNames(HKLM, kSystemPolicies).empty());
  EXPECT_FALSE(rig.registry.KeyExists(HKCU, kPolicy));  // nothing to delete: not created either
}

TEST(RepairRoutines, BrowserPagesComeFromTheConfigurationWhenTheyRun) {
  Rig rig;
  auto run = [&](std::string start, std::string search) {
    rig.config = {std::move(start), std::move(search)};
    RepairStartPage(rig.context);
    RepairSearchPage(rig.context);
    return std::pair(rig.registry.Value(HKLM, kIeMain, "Start Page")->AsText(),
                     rig.registry.Value(HKLM, kSearch, "SearchAssistant")->AsText());
  };
  EXPECT_EQ(run("", ""), std::pair(std::string("about:blank"), std::string(DefaultSearchPage)));
  EXPECT_EQ(run("  ", " "), std::pair(std::string("  "), std::string(" ")));  // blanks are a value
  run("http://主页.example", "http://s.example");
  EXPECT_EQ(rig.registry.Value(HKCU, kIeMain, "Start Page")->AsText(), "http://主页.example");
}

TEST(RepairRoutines, ComponentItemsStartTheirCommandsInOrder) {
  Rig rig;
  std::vector<StartedProcess> started;
  rig.context.started = &started;
  EXPECT_TRUE(RepairNetworkAccess(rig.context));
  EXPECT_EQ(rig.commands.CommandLines(),
            (std::vector<std::string>{"regsvr32 /s jscript.dll", "regsvr32 /s Shdocvw.dll",
                                      "regsvr32 /s Oleaut32.dll", "regsvr32 /s Actxprxy.dll",
                                      "regsvr32 /s Mshtml.dll", "regsvr32 /s Urlmon.dll",
                                      "regsvr32 /s Msjava.dll", "regsvr32 /s Browseui.dll"}));
  EXPECT_TRUE(rig.registry.Log().empty());
  EXPECT_EQ(started.size(), 8u);

  rig.commands.calls.clear();
  EXPECT_TRUE(RepairMyComputer(rig.context));
  EXPECT_EQ(rig.commands.CommandLines(),
            (std::vector<std::string>{
                "regsvr32 /s appwiz.cpl", "regsvr32 /s mshtml.dll", "regsvr32 /s jscript.dll",
                "regsvr32 /s msi.dll", R"(regsvr32 /s "<CommonFiles>\System\Ole DB\Oledb32.dll")",
                R"(regsvr32 /s "<CommonFiles>\System\Ado\Msado15.dll")",
                "regsvr32 /s mshtmled.dll", "regsvr32 /s /i shdocvw.dll", "regsvr32 /s /i shell32.dll"}));
  for (const auto& call : rig.commands.calls) EXPECT_EQ(call.showWindow, 2);
  ExpectLog(rig.registry.Log(), Events({{HKCR, R"(exefile\shell\Open\command)", {Sz("", "\"%1\" %*")}}}));
  EXPECT_EQ(started.size(), 17u);
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

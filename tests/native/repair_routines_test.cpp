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
constexpr RegRoot HKCR = RegRoot::ClassesRoot;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;
constexpr long kAbsent = regerr::kFileNotFound;

std::string Describe(const Event& e) {
  static const char* const kOps[] = {"Create", "Open", "QueryInfo", "Enum", "SetValue",
                                     "DeleteValue", "DeleteKey", "Close", "QueryValue",
                                     "EnumValue"};
  std::ostringstream out;
  out << kOps[static_cast<int>(e.op)] << ' ' << std::hex << static_cast<std::uint32_t>(e.root)
      << '\\' << e.path << " [" << e.name << "] type " << static_cast<int>(e.value.type) << " ("
      << e.value.data.size() << " bytes) -> " << std::dec << e.result;
  return out.str();
}

// Builds the expected log: a key is created, written, and closed before the next.
class Expected {
 public:
  Expected& Key(RegRoot root, std::string path) {
    Close();
    root_ = root;
    path_ = std::move(path);
    open_ = true;
    events_.push_back({Op::Create, root_, path_, "", {}, 0});
    return *this;
  }
  Expected& Sz(std::string name, std::string text) {
    return Set(std::move(name), RegValue::Text(RegType::Sz, text));
  }
  Expected& ExpandSz(std::string name, std::string text) {
    return Set(std::move(name), RegValue::Text(RegType::ExpandSz, text));
  }
  Expected& Dword(std::string name, std::uint32_t number) {
    return Set(std::move(name), RegValue::Dword(number));
  }
  Expected& DeleteValue(std::string name, long result) {
    events_.push_back({Op::DeleteValue, root_, path_, std::move(name), {}, result});
    return *this;
  }
  std::vector<Event> Done() {
    Close();
    return events_;
  }

 private:
  Expected& Set(std::string name, RegValue value) {
    events_.push_back({Op::SetValue, root_, path_, std::move(name), std::move(value), 0});
    return *this;
  }
  void Close() {
    if (open_) events_.push_back({Op::Close, root_, path_, "", {}, 0});
    open_ = false;
  }
  RegRoot root_ = HKCR;
  std::string path_;
  bool open_ = false;
  std::vector<Event> events_;
};

void ExpectLog(const std::vector<Event>& actual, const std::vector<Event>& expected) {
  for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
    std::string a = i < actual.size() ? Describe(actual[i]) : "(nothing)";
    std::string e = i < expected.size() ? Describe(expected[i]) : "(nothing)";
    if (i >= actual.size() || i >= expected.size() || !(actual[i] == expected[i])) {
      ADD_FAILURE() << "operation " << i << "\n  actual:   " << a << "\n  expected: " << e;
      return;
    }
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
    for (const std::string& sub : reg.SubkeyNames(root, path)) {
      walk(root, path.empty() ? sub : path + "\\" + sub);
    }
  };
  for (RegRoot root : {HKCR, HKCU, HKLM}) walk(root, "");
  return out.str();
}

const std::string kLnk = "{00021401-0000-0000-C000-000000000046}";
const std::string kAdvanced = R"(Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced)";
const std::string kHidden = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden)";
const std::string kIeMain = R"(Software\Microsoft\Internet Explorer\Main)";

struct Case {
  const char* name;
  int item;
  bool (*routine)(RepairContext&);
  std::vector<Event> expected;  // from an empty registry
};

std::vector<Case> Cases() {
  return {
      {"HiddenFiles", 1, RepairHiddenFiles,
       Expected()
           .Key(HKLM, kHidden)
           .Sz("Text", "@shell32.dll,-30499").Sz("Type", "group")
           .ExpandSz("Bitmap", R"(%SystemRoot%\system32\shell32.dll,4)").Sz("HelpID", "shell.hlp#51131")
           .Key(HKLM, kHidden + R"(\NOHIDDEN)")
           .Sz("RegPath", kAdvanced).Sz("Text", "@shell32.dll,-30501").Sz("Type", "radio")
           .Sz("HelpID", "shell.hlp#51104").Sz("ValueName", "Hidden").Dword("CheckedValue", 2)
           .Dword("DefaultValue", 2).Dword("HKeyRoot", 0x80000001)
           .Key(HKLM, kHidden + R"(\SHOWALL)")
           .Sz("RegPath", kAdvanced).Sz("Text", "@shell32.dll,-30500").Sz("Type", "radio")
           .Sz("HelpID", "shell.hlp#51105").Sz("ValueName", "Hidden").Dword("CheckedValue", 1)
           .Dword("DefaultValue", 2).Dword("HKeyRoot", 0x80000001)
           .Done()},
      {"SafeMode", 2, RepairSafeMode,
       Expected().Key(HKLM, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)")
           .Sz("AlternateShell", "cmd.exe").Done()},
      {"Shortcuts", 3, RepairShortcuts,
       Expected()
           .Key(HKCR, ".lnk").Sz("", "lnkfile")
           .Key(HKCR, R"(.lnk\ShellEx\{000214EE-0000-0000-C000-000000000046})").Sz("", kLnk)
           .Key(HKCR, R"(.lnk\ShellEx\{000214F9-0000-0000-C000-000000000046})").Sz("", kLnk)
           .Key(HKCR, R"(.lnk\ShellEx\{00021500-0000-0000-C000-000000000046})").Sz("", kLnk)
           .Key(HKCR, R"(.lnk\ShellEx\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1})").Sz("", kLnk)
           .Key(HKCR, R"(.lnk\ShellNew)").Sz("Command", "rundll32.exe appwiz.cpl,NewLinkHere %1")
           .Key(HKCR, "lnkfile").Sz("", "Shortcut").Sz("IsShortcut", "").Sz("NeverShowExt", "")
           .Dword("EditFlags", 1)
           .Key(HKCR, R"(lnkfile\CLSID)").Sz("", kLnk)
           .Key(HKCR, R"(lnkfile\shellex\ContextMenuHandlers\Offline Files)")
           .Sz("", "{750fdf0e-2a26-11d1-a3ea-080036587f03}")
           .Key(HKCR, R"(lnkfile\shellex\DropHandler)").Sz("", kLnk)
           .Key(HKCR, R"(lnkfile\shellex\IconHandler)").Sz("", kLnk)
           .Key(HKCR, R"(lnkfile\shellex\PropertySheetHandlers\ShimLayer Property Page)")
           .Sz("", "{513D916F-2A8E-4F51-AEAB-0CBC76FB1AF8}")
           .Key(HKCR, R"(CLSID\)" + kLnk).Sz("", "Shortcut")
           .Key(HKCR, R"(CLSID\)" + kLnk + R"(\InProcServer32)").Sz("", "shell32.dll")
           .Sz("ThreadingModel", "Apartment")
           .Key(HKCR, R"(CLSID\)" + kLnk +
                          R"(\PersistentAddinsRegistered\{89BCB740-6119-101A-BCB7-00DD010655AF})")
           .Sz("", kLnk)
           .Key(HKCR, R"(CLSID\)" + kLnk + R"(\PersistentHandler)").Sz("", kLnk)
           .Key(HKCR, R"(CLSID\)" + kLnk + R"(\ProgID)").Sz("", "lnkfile")
           .Done()},
      {"GroupPolicy", 6, RepairGroupPolicy,
       Expected().Key(HKCR, R"(CLSID\{8FC0B734-A0E1-11D1-A7D3-0000F87571E3}\InProcServer32)")
           .Sz("", R"(%SystemRoot%\System32\GPEdit.dll)").Done()},
      {"StartPage", 7, RepairStartPage,
       Expected().Key(HKCU, kIeMain).Sz("Start Page", "http://home.example/a b")
           .Key(HKLM, kIeMain).Sz("Start Page", "http://home.example/a b").Done()},
      {"WindowTitle", 8, RepairWindowTitle,
       Expected().Key(HKCU, kIeMain).Sz("Window Title", "Microsoft Internet Explorer")
           .Key(HKLM, kIeMain).Sz("Window Title", "Microsoft Internet Explorer").Done()},
      {"HomeButton", 9, RepairHomeButton,
       Expected().Key(HKCU, R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)")
           .DeleteValue("HomePage", kAbsent).Done()},
      {"SearchPage", 11, RepairSearchPage,
       Expected().Key(HKLM, R"(Software\Microsoft\Internet Explorer\Search)")
           .Sz("CustomizeSearch", "http://find.example").Sz("SearchAssistant", "http://find.example")
           .Done()},
      {"LogonNotice", 12, RepairLogonNotice,
       Expected().Key(HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)")
           .DeleteValue("LegalNoticeCaption", kAbsent).DeleteValue("LegalNoticeText", kAbsent)
           .Done()},
  };
}

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://home.example/a b", "http://find.example"};
  RepairContext context{registry, commands, config};
};

TEST(RepairRoutines, WriteExactlyTheirTablesAndCloseEveryKey) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    Rig rig;
    EXPECT_TRUE(c.routine(rig.context));
    ExpectLog(rig.registry.Log(), c.expected);
    EXPECT_EQ(rig.registry.OpenHandles(), 0u);
    EXPECT_TRUE(rig.commands.calls.empty());
  }
}

TEST(RepairRoutines, RunningTwiceLeavesTheStateOfOneRun) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.registry.Put(HKCU, R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)", "HomePage",
                     RegValue::Dword(1));
    rig.registry.Put(HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)", "LegalNoticeText",
                     RegValue::Text(RegType::Sz, "hello"));
    EXPECT_TRUE(c.routine(rig.context));
    std::string once = Dump(rig.registry);
    EXPECT_TRUE(c.routine(rig.context));
    EXPECT_EQ(Dump(rig.registry), once);
  }
}

TEST(RepairRoutines, DamagedValuesAreOverwrittenWithTheirOwnTypes) {
  Rig rig;
  rig.registry.Put(HKLM, kHidden + R"(\SHOWALL)", "CheckedValue", RegValue::Text(RegType::Sz, "1"));
  rig.registry.Put(HKLM, kHidden, "Bitmap", RegValue::Text(RegType::Sz, "x"));
  rig.registry.Put(HKLM, kHidden, "Other", RegValue::Dword(7));
  EXPECT_TRUE(RepairHiddenFiles(rig.context));
  EXPECT_EQ(rig.registry.Value(HKLM, kHidden + R"(\SHOWALL)", "CheckedValue"), RegValue::Dword(1));
  EXPECT_EQ(rig.registry.Value(HKLM, kHidden, "Bitmap")->type, RegType::ExpandSz);
  EXPECT_EQ(rig.registry.Value(HKLM, kHidden, "Other"), RegValue::Dword(7));
}

TEST(RepairRoutines, RefusedMachineWritesFailTheMachineItemsButTheirOtherStepsRun) {
  const std::set<int> machineItems = {1, 2, 7, 8, 11, 12};
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
      for (Event e : c.expected) {
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

TEST(RepairRoutines, DeletionsRemoveValuesAndKeepTheirKeys) {
  Rig rig;
  const std::string winlogon = R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)";
  rig.registry.Put(HKLM, winlogon, "LegalNoticeCaption", RegValue::Text(RegType::Sz, "c"));
  rig.registry.Put(HKLM, winlogon, "Shell", RegValue::Text(RegType::Sz, "explorer.exe"));
  EXPECT_TRUE(RepairLogonNotice(rig.context));
  EXPECT_EQ(rig.registry.ValueNames(HKLM, winlogon), std::vector<std::string>{"Shell"});
  EXPECT_TRUE(RepairHomeButton(rig.context));
  EXPECT_TRUE(rig.registry.KeyExists(HKCU, R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)"));
}

TEST(RepairRoutines, BrowserPagesComeFromTheConfigurationWhenTheyRun) {
  Rig rig;
  auto startPage = [&] { return rig.registry.Value(HKLM, kIeMain, "Start Page")->AsText(); };
  auto search = [&] {
    return rig.registry.Value(HKLM, R"(Software\Microsoft\Internet Explorer\Search)", "SearchAssistant")
        ->AsText();
  };
  rig.config = {"", ""};
  RepairStartPage(rig.context);
  RepairSearchPage(rig.context);
  EXPECT_EQ(startPage(), "about:blank");
  EXPECT_EQ(search(), DefaultSearchPage);
  rig.config = {"  ", " "};  // blanks are a value of their own
  RepairStartPage(rig.context);
  RepairSearchPage(rig.context);
  EXPECT_EQ(startPage(), "  ");
  EXPECT_EQ(search(), " ");
  rig.config = {"http://主页.example", "http://s.example"};
  RepairStartPage(rig.context);
  EXPECT_EQ(rig.registry.Value(HKCU, kIeMain, "Start Page")->AsText(), "http://主页.example");
}

const std::vector<std::string> kMyComputerCommands = {
    "regsvr32 /s appwiz.cpl", "regsvr32 /s mshtml.dll", "regsvr32 /s jscript.dll",
    "regsvr32 /s msi.dll",
    R"(regsvr32 /s "C:\Program Files\Common Files\System\Ole DB\Oledb32.dll")",
    R"(regsvr32 /s "C:\Program Files\Common Files\System\Ado\Msado15.dll")",
    "regsvr32 /s mshtmled.dll", "regsvr32 /s /i shdocvw.dll", "regsvr32 /s /i shell32.dll"};

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
  EXPECT_EQ(rig.commands.CommandLines(), kMyComputerCommands);
  for (const auto& call : rig.commands.calls) EXPECT_EQ(call.showWindow, 2);
  ExpectLog(rig.registry.Log(),
            Expected().Key(HKCR, R"(exefile\shell\Open\command)").Sz("", "\"%1\" %*").Done());
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
  FailingAt commands(4);
  RepairContext context{registry, commands, config};
  EXPECT_FALSE(RepairMyComputer(context));
  EXPECT_EQ(commands.calls.size(), 5u);
  EXPECT_TRUE(registry.Log().empty());
  EXPECT_FALSE(registry.KeyExists(HKCR, "exefile"));

  FailingAt last(7);
  RepairContext network{registry, last, config};
  EXPECT_FALSE(RepairNetworkAccess(network));
  EXPECT_EQ(last.calls.size(), 8u);
}

}  // namespace
}  // namespace orvane

// The routines against the system's registry (inside a scratch key) and with
// real processes: the end state must equal that of the in-memory registry,
// whose operations the host tests hold to the tables.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "platform/memory_registry.h"
#include "platform/win32/command_runner_win32.h"
#include "platform/win32/registry_win32.h"
#include "repair/routines.h"
#include "support/recording_commands.h"

namespace orvane {
namespace {

constexpr RegRoot HKCR = RegRoot::ClassesRoot;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

// Keys sorted by name, values with type and bytes, read through the interface only.
std::string Dump(RegistryService& reg) {
  std::ostringstream out;
  std::function<void(RegRoot, const std::string&)> walk = [&](RegRoot root, const std::string& path) {
    RegKey key(reg);
    if (key.Open(root, path) != regerr::kSuccess) return;
    out << static_cast<std::uint32_t>(root) << '\\' << path << '\n';
    std::vector<std::string> values, subkeys;
    std::string name;
    RegValue value;
    for (std::uint32_t i = 0; reg.EnumValue(key.Get(), i, name, value) == regerr::kSuccess; ++i) {
      std::ostringstream line;
      line << "  " << name << '=' << static_cast<int>(value.type) << ':';
      for (auto byte : value.data) line << ' ' << int(byte);
      values.push_back(line.str());
    }
    RegKeyInfo info;
    reg.QueryInfoKey(key.Get(), info);
    for (std::uint32_t i = 0; i < info.subkeys; ++i) {
      if (reg.EnumKey(key.Get(), i, info.maxSubkeyLen + 1, name) == regerr::kSuccess) subkeys.push_back(name);
    }
    std::sort(values.begin(), values.end());
    std::sort(subkeys.begin(), subkeys.end(), [](const std::string& a, const std::string& b) {
      return _stricmp(a.c_str(), b.c_str()) < 0;
    });
    for (const auto& v : values) out << v << '\n';
    for (const auto& sub : subkeys) walk(root, path.empty() ? sub : path + "\\" + sub);
  };
  for (RegRoot root : {HKCR, HKCU, HKLM}) walk(root, "");
  return out.str();
}

// The system registry with its roots below a scratch key of the current user.
class Sandbox {
 public:
  Sandbox() {
    static unsigned counter = 0;
    path_ = "Software\\OrvaneRepairTest\\" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    registry_ = std::make_unique<Win32Registry>(path_);
    for (RegRoot root : {HKCR, HKCU, HKLM}) {
      RegKey key(*registry_);
      key.Create(root, "");
    }
  }
  ~Sandbox() {
    std::wstring wide(path_.begin(), path_.end());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, wide.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, wide.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\OrvaneRepairTest");
  }
  RegistryService& Registry() { return *registry_; }

 private:
  std::string path_;
  std::unique_ptr<Win32Registry> registry_;
};

void Put(RegistryService& reg, RegRoot root, const std::string& path, const std::string& name,
         const RegValue& value) {
  RegKey key(reg);
  ASSERT_EQ(key.Create(root, path), regerr::kSuccess) << path;
  ASSERT_EQ(reg.SetValue(key.Get(), name, value), regerr::kSuccess) << name;
}

// Other values, wrong types, values to delete and a find tree three levels deep.
void Damage(RegistryService& reg) {
  const std::string hidden = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden)";
  Put(reg, HKLM, hidden, "Bitmap", RegValue::Text(RegType::Sz, "evil"));
  Put(reg, HKLM, hidden + R"(\SHOWALL)", "CheckedValue", RegValue::Text(RegType::Sz, "0"));
  Put(reg, HKLM, hidden + R"(\NOHIDDEN)", "HKeyRoot", RegValue::Text(RegType::ExpandSz, "x"));
  Put(reg, HKLM, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)", "AlternateShell", RegValue::Dword(9));
  Put(reg, HKCR, "lnkfile", "IsShortcut", RegValue::Dword(0));
  Put(reg, HKCR, "lnkfile", "Kept", RegValue::Text(RegType::Sz, "kept"));
  Put(reg, HKCR, R"(exefile\shell\Open\command)", "", RegValue::Text(RegType::ExpandSz, "evil.exe %1"));
  Put(reg, HKCR, R"(Directory\shell\find\Command\ddeexec\topic)", "", RegValue::Text(RegType::Sz, "t"));
  Put(reg, HKCR, R"(Directory\shell\find\Command\ddeexec\Application)", "x", RegValue::Dword(1));
  Put(reg, HKCR, R"(Directory\shell\find\)" + std::string(250, 'n') + R"(\b)", "", RegValue::Dword(1));
  Put(reg, HKCR, R"(Directory\shell\findstr)", "", RegValue::Text(RegType::Sz, "stays"));
  Put(reg, HKCU, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page", RegValue::Dword(1));
  Put(reg, HKLM, R"(Software\Microsoft\Internet Explorer\Search)", "SearchAssistant",
      RegValue::Text(RegType::ExpandSz, "http://bad.example"));
  Put(reg, HKCU, R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)", "HomePage",
      RegValue::Dword(1));
  Put(reg, HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)", "LegalNoticeCaption",
      RegValue::Text(RegType::Sz, "Notice"));
  Put(reg, HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)", "LegalNoticeText",
      RegValue::Text(RegType::Sz, "Text"));
}

bool (*const kRegistryRoutines[])(RepairContext&) = {
    RepairHiddenFiles, RepairSafeMode,    RepairShortcuts,  RepairFolderOpen,  RepairMyComputer,
    RepairGroupPolicy, RepairStartPage,   RepairWindowTitle, RepairHomeButton, RepairSearchPage,
    RepairLogonNotice,
};

void ExpectSameEndState(bool damaged) {
  Sandbox sandbox;
  MemoryRegistry memory;
  if (damaged) {
    Damage(sandbox.Registry());
    Damage(memory);
  }
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://首页.example/", ""};
  RepairContext system{sandbox.Registry(), commands, config};
  RepairContext model{memory, commands, config};
  for (auto routine : kRegistryRoutines) {
    EXPECT_TRUE(routine(system));
    EXPECT_TRUE(routine(model));
  }
  std::string expected = Dump(memory);
  EXPECT_EQ(Dump(sandbox.Registry()), expected);
  EXPECT_NE(expected.find("exefile"), std::string::npos);
  for (auto routine : kRegistryRoutines) EXPECT_TRUE(routine(system));
  EXPECT_EQ(Dump(sandbox.Registry()), expected);  // a second run changes nothing
}

TEST(RepairRoutinesWine, FromAnEmptyRegistry) { ExpectSameEndState(false); }
TEST(RepairRoutinesWine, OverADamagedRegistry) { ExpectSameEndState(true); }

TEST(RepairRoutinesWine, SpotChecksOfTheStoredData) {
  Sandbox sandbox;
  Damage(sandbox.Registry());
  testing::RecordingCommandRunner commands;
  AppConfig config;
  RepairContext context{sandbox.Registry(), commands, config};
  for (auto routine : kRegistryRoutines) EXPECT_TRUE(routine(context));
  auto read = [&](RegRoot root, const std::string& path, const std::string& name) {
    RegKey key(sandbox.Registry());
    RegValue value;
    if (key.Open(root, path) != regerr::kSuccess ||
        sandbox.Registry().QueryValue(key.Get(), name, value) != regerr::kSuccess) {
      return RegValue{};
    }
    return value;
  };
  EXPECT_EQ(read(HKCR, R"(exefile\shell\Open\command)", ""), RegValue::Text(RegType::Sz, "\"%1\" %*"));
  EXPECT_EQ(read(HKCR, "lnkfile", "IsShortcut"), RegValue::Text(RegType::Sz, ""));
  EXPECT_EQ(read(HKCR, "lnkfile", "Kept"), RegValue::Text(RegType::Sz, "kept"));
  EXPECT_EQ(read(HKLM, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden\SHOWALL)",
                 "CheckedValue"),
            RegValue::Dword(1));
  EXPECT_EQ(read(HKLM, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page"),
            RegValue::Text(RegType::Sz, "about:blank"));
  EXPECT_EQ(read(HKLM, R"(Software\Microsoft\Internet Explorer\Search)", "SearchAssistant"),
            RegValue::Text(RegType::Sz, DefaultSearchPage));
  EXPECT_EQ(read(HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)", "LegalNoticeText").type,
            RegType::None);
  RegKey find(sandbox.Registry());
  EXPECT_EQ(find.Open(HKCR, R"(Directory\shell\find)"), regerr::kFileNotFound);
  EXPECT_EQ(find.Open(HKCR, R"(Directory\shell\findstr)"), regerr::kSuccess);
}

TEST(RepairRoutinesWine, ComponentItemsReallyStartRegsvr32) {
  Sandbox sandbox;
  Win32CommandRunner commands;
  AppConfig config;
  std::vector<StartedProcess> started;
  RepairContext context{sandbox.Registry(), commands, config, &started};
  EXPECT_TRUE(RepairNetworkAccess(context));
  EXPECT_EQ(started.size(), 8u);
  EXPECT_TRUE(RepairMyComputer(context));
  EXPECT_EQ(started.size(), 17u);
  for (const StartedProcess& process : started) {
    EXPECT_NE(process.pid, 0u);
    for (int i = 0; i < 500 && commands.IsRunning(process); ++i) ::Sleep(20);
    EXPECT_FALSE(commands.IsRunning(process));
  }
}

}  // namespace
}  // namespace orvane

// Backups against Wine's registry: backup, repair, import gives back the
// registry exactly, and Wine's own regedit /s restores the same file to the
// same state as Orvane's importer.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/win32/registry_win32.h"
#include "platform/win32/unique_handle.h"
#include "repair/backup.h"
#include "repair/reg_file.h"
#include "repair/runner.h"
#include "support/recording_commands.h"
#include "support/registry_dump.h"

namespace orvane {
namespace {

constexpr RegRoot HKCR = RegRoot::ClassesRoot, HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;
const std::string kSandbox = "Software\\OrvaneBackupTest\\" + std::to_string(::GetCurrentProcessId());

void Put(RegistryService& reg, RegRoot root, const std::string& path, const std::string& name, const RegValue& value) {
  RegKey key(reg);
  ASSERT_EQ(key.Create(root, path), regerr::kSuccess) << path;
  ASSERT_EQ(reg.SetValue(key.Get(), name, value), regerr::kSuccess) << name;
}

struct Sandbox {
  Win32Registry registry{kSandbox};
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://首页.example/", ""};
  RepairContext context{registry, commands, config};
  Sandbox() {
    for (RegRoot root : {HKCR, HKCU, HKLM}) {
      RegKey key(registry);
      key.Create(root, "");
    }
    const std::string find = R"(Directory\shell\find)";
    Put(registry, HKCR, find, "", RegValue::Text(RegType::Sz, R"(Se"arch\ 中文)"));
    Put(registry, HKCR, find + R"(\command)", "bin", {RegType::Binary, {0, 1, 0xFF, 0x80}});
    Put(registry, HKCR, find + R"(\command)", "multi", {RegType(7), {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
    Put(registry, HKCR, find + R"(\command\ddeexec)", "q", {RegType(11), {1, 2, 3, 4, 5, 6, 7, 8}});
    Put(registry, HKCR, find + R"(\command\ddeexec)", "x", RegValue::Text(RegType::ExpandSz, "%PATH%\r\nbreak"));
    Put(registry, HKCR, find + R"(\command\ddeexec)", "", {RegType::Sz, {'x', 0}});  // no terminator
    Put(registry, HKCR, find + R"(\empty)", "long", {RegType::Binary, std::vector<std::uint8_t>(40, 0xA5)});
    Put(registry, HKCR, find + R"(\empty)", "odd", {RegType::Dword, {1, 2}});
    RegKey(registry).Create(HKCR, find + R"(\empty\leaf)");
    Put(registry, HKCU, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page", RegValue::Dword(7));
    Put(registry, HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)", "LegalNoticeText",
        RegValue::Text(RegType::Sz, "中文 notice"));
  }
  ~Sandbox() {
    std::wstring wide(kSandbox.begin(), kSandbox.end());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, wide.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, wide.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\OrvaneBackupTest");
  }
  void RepairAll() {
    for (const auto& item : kRepairItems) RunSteps(item.steps, context);
  }
};

// The same file with every key moved to where the sandbox keeps it, for regedit.
RegFile InSandbox(RegFile file) {
  for (RegFileKey& key : file.keys) {
    key.path = kSandbox + "\\" + RegRootName(key.root) + "\\" + key.path;
    key.root = HKCU;
  }
  return file;
}

TEST(BackupWine, RepairThenImportGivesBackTheRegistryAndRegeditAgrees) {
  Sandbox s;
  const std::string before = testing::Dump(s.registry);
  BackupBuilder backup(s.registry);
  for (const auto& item : kRepairItems) backup.Add(ResolveSteps(item.steps, s.config));
  EXPECT_TRUE(backup.Unread().empty());
  s.RepairAll();
  ASSERT_NE(testing::Dump(s.registry), before);

  // Orvane's importer, from the file's bytes.
  std::string error;
  auto parsed = ParseRegFile(WriteRegFile(backup.File()), error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_TRUE(ApplyTargets(RegFileTargets(*parsed), s.context).Succeeded());
  EXPECT_EQ(testing::Dump(s.registry), before);

  // Wine's regedit, from the same backup.
  s.RepairAll();
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"orvane-backup-test.reg";
  {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << WriteRegFile(InSandbox(backup.File()));
  }
  std::wstring line = L"regedit.exe /s \"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  UniqueKernelHandle thread(process.hThread), running(process.hProcess);
  ::WaitForSingleObject(running.get(), 30000);
  ::DeleteFileW(path.c_str());
  std::string ended = before;  // regedit ends the string that lacks its terminator
  ended.replace(ended.find("ddeexec []=1: 120 0\n"), 20, "ddeexec []=1: 120 0 0 0\n");
  EXPECT_EQ(testing::Dump(s.registry), ended);
}

}  // namespace
}  // namespace orvane

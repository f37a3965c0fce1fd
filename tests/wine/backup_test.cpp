// Backups against Wine's registry: backup, repair, import gives back the
// registry exactly, and Wine's own regedit /s restores the same file to the
// same state as Orvane's importer.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/memory_registry.h"
#include "platform/win32/file_store_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "repair/backup.h"
#include "repair/journal.h"
#include "repair/reg_file.h"
#include "repair/runner.h"
#include "support/recording_commands.h"
#include "support/registry_dump.h"
#include "support/sandbox_registry.h"

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
  Win32Registry system;
  testing::SandboxRegistry registry{system, kSandbox};
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
    Put(registry, HKCR, find + R"(\command)", "a\r\nb \"q\" \\", RegValue::Text(RegType::Sz, "line\r\nbreak"));
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
  // and cannot hold a name with a line break: that value is Orvane's undo's alone.
  const std::size_t lineBreak = ended.find("command [a\r\nb");
  ended.erase(ended.rfind('\n', lineBreak) + 1, ended.find('\n', ended.find("]=", lineBreak)) - ended.rfind('\n', lineBreak));
  EXPECT_EQ(testing::Dump(s.registry), ended);
}

TEST(BackupWine, BackupsGoOnlyToAFolderNoOneButAdministratorsMayChange) {
  const struct { const wchar_t* sddl; FolderProblem problem; } cases[] = {
      {L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;AU)", FolderProblem::None},
      {L"O:BUD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", FolderProblem::Owner},
      {L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FW;;;AU)", FolderProblem::OthersMayWrite},
      {L"O:BAD:P(A;OICIIO;FA;;;CO)", FolderProblem::OthersMayWrite},  // files made there by anyone
      {L"O:BAD:P(A;;WD;;;BU)", FolderProblem::OthersMayWrite},
      {L"O:SY", FolderProblem::OthersMayWrite},  // no access list: everyone may
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.sddl));
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(c.sddl, SDDL_REVISION_1, &sd, nullptr));
    EXPECT_EQ(FolderSecurityProblem(sd, nullptr), c.problem);
    ::LocalFree(sd);
  }
  const std::string parent = std::filesystem::temp_directory_path().parent_path().string();
  const std::string name = "orvane-protect-" + std::to_string(::GetCurrentProcessId());
  Win32FileStore files;
  EXPECT_EQ(files.ProtectFolder(parent, {name, "Backups"}).problem, FolderProblem::None);
  std::ofstream(parent + "\\" + name + "\\Planted") << "x";  // a file where a folder belongs
  const FolderCheck planted = files.ProtectFolder(parent, {name, "Planted"});
  EXPECT_EQ(planted.problem, FolderProblem::NotFolder);
  EXPECT_EQ(planted.path, parent + "\\" + name + "\\Planted");
  std::filesystem::remove_all(parent + "\\" + name);
}

// Every run of this store wants the same names.
struct StoppedClock : Win32FileStore {
  std::string root;
  explicit StoppedClock(std::string root) : root(std::move(root)) {}
  std::string MachineDataFolder() override { return root; }
  std::string LocalTimeStamp() override { return "2026-12-06_14-03-27"; }
};

TEST(BackupWine, PlantedFilesAndLinksAreNeverWrittenThroughAndConcurrentRunsKeepTheirOwnBackups) {
  const std::wstring root =
      (std::filesystem::temp_directory_path() / ("orvane-writer-" + std::to_string(::GetCurrentProcessId()))).wstring();
  const std::wstring backups = root + L"\\Orvane\\Backups", victim = root + L"\\victim.txt";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(backups);
  std::ofstream(victim.c_str(), std::ios::binary) << "victim";
  // Names a run of this second uses, or once used for its temporary files: hard links to
  // another file (Wine makes no symbolic links; a hard link is written through the same way)
  // and a folder.
  const std::wstring stamp = backups + L"\\2026-12-06_14-03-27";
  const std::vector<std::wstring> planted = {stamp + L".reg.tmp", stamp + L".log", stamp + L"_2.reg",
                                             stamp + L"_3.log.tmp"};
  for (const std::wstring& path : planted) {
    ASSERT_TRUE(path.ends_with(L"_2.reg") ? ::CreateDirectoryW(path.c_str(), nullptr)
                                          : ::CreateHardLinkW(path.c_str(), victim.c_str(), nullptr));
  }
  StoppedClock files(Narrow(root));
  Sandbox s;
  {
    RepairJournal journal(files, s.registry, "1.0", s.config);
    journal.Protect(ResolveSteps(kRepairItems[7].steps, s.config));
    EXPECT_TRUE(journal.BackupPath().ends_with("\\Orvane\\Backups\\2026-12-06_14-03-27_3.reg")) << journal.BackupPath();
  }
  EXPECT_EQ(files.ReadFile(Narrow(victim)), "victim");
  EXPECT_EQ(::GetFileAttributesW((stamp + L".reg").c_str()), INVALID_FILE_ATTRIBUTES);  // made, then given up
  for (const std::wstring& path : planted) EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

  // Four runs at once, ten rounds: each backup holds its own run's value.
  for (int round = 0; round < 10; ++round) {
    std::vector<std::string> paths(4), bytes(4);
    std::vector<std::thread> runs;
    for (int run = 0; run < 4; ++run) {
      runs.emplace_back([&, run] {
        MemoryRegistry registry;
        RegKey key(registry);
        key.Create(HKCU, R"(Software\Microsoft\Internet Explorer\Main)");
        registry.SetValue(key.Get(), "Start Page", RegValue::Text(RegType::Sz, "run " + std::to_string(run)));
        RepairJournal journal(files, registry, "1.0", s.config);
        journal.Protect(ResolveSteps(kRepairItems[7].steps, s.config));
        paths[run] = journal.BackupPath();
        bytes[run] = files.ReadFile(paths[run]).value_or("");  // a run that wrote nothing gives it up at its end
      });
    }
    for (std::thread& run : runs) run.join();
    for (int run = 0; run < 4; ++run) {
      std::string error;
      auto parsed = ParseRegFile(bytes[run], error);
      ASSERT_TRUE(parsed && parsed->keys.at(0).root == HKCU) << paths[run] << error;
      EXPECT_EQ(parsed->keys[0].values.at(0).value->AsText(), "run " + std::to_string(run)) << paths[run];
    }
  }
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace orvane

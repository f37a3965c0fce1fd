// Backups: backup, repair, import gives back the registry exactly; malformed
// files are refused whole; the journal's folders and log; undo.
#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "platform/text.h"
#include "repair/backup.h"
#include "repair/reg_file.h"
#include "repair/runner.h"
#include "repair/undo.h"
#include "resources/catalogue.h"
#include "support/memory_files.h"
#include "support/recording_commands.h"
#include "support/registry_dump.h"

namespace orvane {
namespace {

using Op = MemoryRegistry::Op;
using testing::Bytes;
using testing::Dump;
constexpr RegRoot HKCR = RegRoot::ClassesRoot, HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;
const std::string kFind = R"(Directory\shell\find)";
const std::string kIeMain = R"(Software\Microsoft\Internet Explorer\Main)";

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  testing::MemoryFiles files;
  AppConfig config{"http://home.example", "http://find.example"};
  RepairContext context{registry, commands, config};

  // Item 4's tree with every kind of value, and odd values elsewhere.
  void Damage() {
    registry.Put(HKCR, kFind, "", RegValue::Text(RegType::Sz, "Sea\"rch\\"));
    registry.Put(HKCR, kFind + R"(\command)", "bin", Bytes(RegType::Binary, {0, 1, 0xFF, 0x80}));
    registry.Put(HKCR, kFind + R"(\command)", "multi", Bytes(RegType(7), {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
    registry.Put(HKCR, kFind + R"(\command\ddeexec)", "q", Bytes(RegType(11), {1, 2, 3, 4, 5, 6, 7, 8}));
    registry.Put(HKCR, kFind + R"(\command\ddeexec)", "", Bytes(RegType::Sz, {'x', 0}));  // no terminator
    registry.Put(HKCR, kFind + R"(\empty)", "long", Bytes(RegType::Binary, std::initializer_list<std::uint8_t>(
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30,
         31, 32, 33, 34, 35, 36, 37, 38, 39, 40})));
    registry.PutKey(HKCR, kFind + R"(\empty\leaf)");
    registry.Put(HKCU, kIeMain, "Start Page", RegValue::Text(RegType::ExpandSz, "line\r\nbreak"));
    registry.Put(HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)", "LegalNoticeText",
                 RegValue::Text(RegType::Sz, "中文 notice"));
    registry.Put(HKLM, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)", "AlternateShell", Bytes(RegType::Dword, {1, 2}));
  }
};

std::string Utf16File(std::string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(text)) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

TEST(RepairBackup, BackupRepairImportGivesBackTheRegistryExactly) {
  for (bool damaged : {true, false}) {
    SCOPED_TRACE(damaged ? "damaged" : "empty");
    Rig rig;
    if (damaged) rig.Damage();
    const std::string before = Dump(rig.registry);
    BackupBuilder backup(rig.registry);
    for (const auto& item : kRepairItems) backup.Add(ResolveSteps(item.steps, rig.config));
    EXPECT_TRUE(backup.Unread().empty());
    const std::string bytes = WriteRegFile(backup.File());
    for (const auto& item : kRepairItems) RunSteps(item.steps, rig.context);
    ASSERT_NE(Dump(rig.registry), before);

    std::string error;
    std::optional<RegFile> parsed = ParseRegFile(bytes, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_TRUE(ApplyTargets(RegFileTargets(*parsed), rig.context).Succeeded());
    EXPECT_EQ(Dump(rig.registry), before);
    EXPECT_EQ(rig.registry.OpenHandles(), 0u);
  }
}

TEST(RepairBackup, WritesRegeditsFormat) {
  Rig rig;
  rig.registry.Put(HKCU, kIeMain, "Start Page", RegValue::Text(RegType::Sz, R"(a"b\c)"));
  rig.registry.Put(HKCR, kFind, "d", RegValue::Dword(0x1234));
  rig.registry.Put(HKCR, kFind, "", Bytes(RegType::ExpandSz, {'%', 0, 0, 0}));
  BackupBuilder backup(rig.registry);
  backup.Add(ResolveSteps(kRepairItems[7].steps, rig.config));
  backup.Add(ResolveSteps(kRepairItems[4].steps, rig.config));
  EXPECT_EQ(WriteRegFile(backup.File()),
            Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\r\n"
                      "\"Start Page\"=\"a\\\"b\\\\c\"\r\n\r\n"
                      "[-HKEY_LOCAL_MACHINE\\Software]\r\n\r\n"
                      "[-HKEY_CLASSES_ROOT\\Directory\\shell\\find]\r\n\r\n"
                      "[HKEY_CLASSES_ROOT\\Directory\\shell\\find]\r\n"
                      "\"d\"=dword:00001234\r\n@=hex(2):25,00,00,00\r\n\r\n"));
}

TEST(RepairBackup, MalformedFilesAreRefusedWholeAndChangeNothing) {
  const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string good = header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:01,\\\r\n  02\r\n\r\n";
  const std::string goodBytes = Utf16File(good);
  struct Case { const char* name; std::string bytes; };
  const Case cases[] = {
      {"truncated mid-line", goodBytes.substr(0, goodBytes.size() - 10)},
      {"odd byte count", goodBytes.substr(0, goodBytes.size() - 1)},
      {"continuation at end", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:01,\\\r\n")},
      {"no BOM", good},
      {"wrong header", Utf16File("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n")},
      {"bad hex", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:01,2g\r\n")},
      {"single hex digit", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:01,2\r\n")},
      {"bad dword", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=dword:123456789\r\n")},
      {"open string", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"abc\r\n")},
      {"key outside the roots", Utf16File(header + "[HKEY_USERS\\S-1-5-18\\A]\r\n")},
      {"a root alone", Utf16File(header + "[HKEY_LOCAL_MACHINE]\r\n")},
      {"value outside a key", Utf16File(header + "\"v\"=\"x\"\r\n")},
  };
  std::string error;
  EXPECT_TRUE(ParseRegFile(goodBytes, error)) << error;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.files.files[R"(C:\Tools\Backups\bad.reg)"] =
        c.bytes;
    rig.registry.Put(HKCU, "A", "v", RegValue::Dword(9));
    const std::string before = Dump(rig.registry);
    UndoResult result = UndoBackup(rig.files, rig.context, "1.0", R"(C:\Tools\Backups\bad.reg)");
    EXPECT_EQ(result.status, UndoResult::Status::Malformed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(Dump(rig.registry), before);
    EXPECT_EQ(rig.files.files.size(), 1u);  // no backup or log of an undo that did not run
  }
}

TEST(RepairBackup, ButtonRunsKeepABackupAndALogBesideTheProgramOrElsewhere) {
  struct View : RunnerView {
    std::set<int> ticked;
    std::map<int, std::string> tips;
    bool RowTicked(int row) override { return ticked.count(row) > 0; }
    void SetResultColor(int, std::uint32_t) override {}
    void SetResultCaption(int, const std::string&) override {}
    void ShowResult(int) override {}
    void SetResultToolTip(int row, const std::string& text) override { tips[row] = text; }
    void SetRepairButtonEnabled(bool) override {}
    bool LockTicked() override { return false; }
    void SetTimerEnabled(bool) override {}
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    void ShowMenuManager() override {}
    void ProcessPendingEvents() override {}
    void RepaintPending() override {}
  };
  const std::string program = R"(C:\Tools\Backups)", local = R"(C:\Users\u\AppData\Local\Orvane\Backups)";
  for (int refused = 0; refused < 3; ++refused) {  // none, the program's folder, both
    SCOPED_TRACE(refused);
    Rig rig;
    rig.Damage();
    if (refused >= 1) rig.files.readOnlyFolders.insert(program);
    if (refused >= 2) rig.files.readOnlyFolders.insert(local);
    rig.registry.FailOn(Op::SetValue, HKLM, R"(Software\Microsoft\Internet Explorer\Main)");
    const std::string before = Dump(rig.registry);
    View view;
    view.ticked = {4, 7, 8, 12};
    RepairRunner runner(view, rig.registry, rig.commands, rig.config);
    runner.KeepJournal(rig.files, "1.0.0.9");
    runner.OnRepairButtonClick();
    EXPECT_FALSE(rig.registry.KeyExists(HKCR, kFind));  // repaired either way
    EXPECT_EQ(view.tips[7].find("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer\\Main \"Start Page\""),
              LoadString(3206).size() + 1) << view.tips[7];
    EXPECT_NE(view.tips[7].find("(5)"), std::string::npos);
    EXPECT_EQ(view.tips[4], "");
    const std::string folder = refused == 0 ? program : local;
    if (refused == 2) {
      EXPECT_TRUE(rig.files.files.empty());
      continue;
    }
    const std::string log = rig.files.files.at(folder + R"(\2026-12-06_14-03-27.log)");
    EXPECT_TRUE(log.starts_with("\xEF\xBB\xBF" + LoadString(3200) + "\r\n" + LoadString(3201) + "2026-12-06 14:03:27\r\n"));
    EXPECT_NE(log.find("1.0.0.9\r\n"), std::string::npos);
    EXPECT_NE(log.find(LoadString(3204) + folder + R"(\2026-12-06_14-03-27.reg)"), std::string::npos);
    EXPECT_NE(log.find("\"Window Title\" = \"Microsoft Internet Explorer\"  ->  " + LoadString(3215) + " (5)\r\n"),
              std::string::npos) << log;
    EXPECT_EQ(log.find('\n'), log.find("\r\n") + 1);

    // Undo from the newest backup puts everything back and keeps its own backup.
    rig.registry.ClearFailures();
    rig.files.stamp = "2026-12-06_14-05-00";
    UndoResult undo = UndoBackup(rig.files, rig.context, "1.0.0.9");
    EXPECT_EQ(undo.status, UndoResult::Status::Restored);
    EXPECT_EQ(undo.file, folder + R"(\2026-12-06_14-03-27.reg)");
    EXPECT_EQ(Dump(rig.registry), before);
    EXPECT_EQ(undo.backupPath, folder + R"(\2026-12-06_14-05-00.reg)");
    // ...which undoes the undo.
    rig.files.stamp = "2026-12-06_14-06-00";
    EXPECT_EQ(UndoBackup(rig.files, rig.context, "1.0.0.9").status, UndoResult::Status::Restored);
    EXPECT_FALSE(rig.registry.KeyExists(HKCR, kFind));
  }
}

}  // namespace
}  // namespace orvane

// Malformed backups are refused whole. Backup, repair and import against the
// system's registry: backup_test (Wine); the journal and undo: main_check_menu_test.
#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "platform/text.h"
#include "repair/journal.h"
#include "repair/reg_file.h"
#include "repair/runner.h"
#include "resources/catalogue.h"
#include "repair/undo.h"
#include "support/memory_files.h"
#include "support/recording_commands.h"
#include "support/registry_dump.h"

namespace orvane {
namespace {

using testing::Dump;
constexpr RegRoot HKCU = RegRoot::CurrentUser;

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  testing::MemoryFiles files;
  AppConfig config{"http://home.example", "http://find.example"};
  RepairContext context{registry, commands, config};
  std::string Repair(int item, const std::string& stamp) {
    files.stamp = stamp;
    RepairJournal journal(files, registry, "1.0", config);
    journal.Protect(ResolveSteps(kRepairItems[item].steps, config));
    journal.Record("", RunSteps(kRepairItems[item].steps, context));
    return journal.BackupPath();
  }
};

std::string Utf16File(std::string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(text)) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
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
      {"32-bit view outside Wow6432Node", Utf16File(header + "; Orvane view: 32\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon]\r\n")},
      {"our value line, odd name", Utf16File(header + "[HKEY_CURRENT_USER\\A]\r\n; Orvane value: 6=dword:00000001\r\n")},
  };
  // Ours, cut exactly at a line end before its end line.
  const std::string ours = WriteRegFile({{{HKCU, "A", true, {}, 0}}, "2026-12-06T14:03:27.000Z", ""});
  const std::string cutAtLineEnd = ours.substr(0, ours.rfind(std::string("]\0\r\0\n\0", 6)) + 6);
  std::string error;
  EXPECT_TRUE(ParseRegFile(goodBytes, error)) << error;
  EXPECT_TRUE(ParseRegFile(ours, error)) << error;
  EXPECT_FALSE(ParseRegFile(cutAtLineEnd, error));
  // A name regedit cannot hold comes back exactly.
  const RegFile odd{{{HKCU, "A", false, {{"a\r\nb\"\\", RegValue::Text(RegType::Sz, "x\r\n")}}, 0}}, "t", ""};
  auto back = ParseRegFile(WriteRegFile(odd), error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->keys.at(0).values.at(0).name, odd.keys[0].values[0].name);
  EXPECT_EQ(back->keys[0].values[0].value, odd.keys[0].values[0].value);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.files.files[R"(C:\Tools\Backups\bad.reg)"] = c.bytes;
    rig.registry.Put(HKCU, "A", "v", RegValue::Dword(9));
    const std::string before = Dump(rig.registry);
    UndoResult result = UndoBackup(rig.files, rig.context, "1.0", R"(C:\Tools\Backups\bad.reg)");
    EXPECT_EQ(result.status, UndoResult::Status::Malformed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(Dump(rig.registry), before);
    EXPECT_EQ(rig.files.files.size(), 1u);  // no backup or log of an undo that did not run
  }
}

TEST(RepairBackup, UndoRestoresOnlyTheProgramsKeysAndOnlyWhatTheRepairWrote) {
  constexpr RegRoot HKLM = RegRoot::LocalMachine;
  const std::string file = R"(C:\ProgramData\Orvane\Backups\x.reg)", header = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string ifeo = R"(HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Image File Execution Options\sethc.exe)";
  for (const std::string& foreign : std::vector<std::string>{"[" + ifeo + "]\r\n\"Debugger\"=\"cmd.exe\"", "[-HKEY_CURRENT_USER\\Software\\Other]",
                                     "[HKEY_LOCAL_MACHINE\\Software\\Microsoft]\r\n\"v\"=\"x\""}) {
    Rig rig;
    rig.files.files[file] = Utf16File(header + "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\r\n"
                                      "\"Start Page\"=\"x\"\r\n\r\n" + foreign + "\r\n");
    const std::string before = Dump(rig.registry);
    UndoResult result = UndoBackup(rig.files, rig.context, "1.0", file);
    EXPECT_EQ(result.status, UndoResult::Status::Malformed);
    EXPECT_TRUE(result.error.starts_with("line 6:")) << result.error;
    EXPECT_EQ(Dump(rig.registry), before);
  }

  // The repair creates the Search key; a value and a subkey are added there since.
  Rig rig;
  rig.registry.Put(HKLM, R"(Software\Microsoft\Windows)", "v", RegValue::Dword(1));
  const std::string before = Dump(rig.registry), search = R"(Software\Microsoft\Internet Explorer\Search)";
  for (bool added : {false, true}) {
    rig.Repair(11, added ? "2026-12-06_16-00-00" : "2026-12-06_15-00-00");
    if (added) {
      rig.registry.Put(HKLM, search, "Added", RegValue::Dword(2));
      rig.registry.PutKey(HKLM, search + R"(\Sub)");
    }
    rig.files.stamp += "_undo";
    UndoResult result = UndoBackup(rig.files, rig.context, "1.0");
    EXPECT_EQ(result.status, UndoResult::Status::Restored);
    if (added) {
      EXPECT_FALSE(rig.registry.Value(HKLM, search, "SearchAssistant"));
      EXPECT_TRUE(rig.registry.Value(HKLM, search, "Added"));
      EXPECT_TRUE(rig.registry.KeyExists(HKLM, search + R"(\Sub)"));
      EXPECT_NE(rig.files.files[result.logPath].find(LoadString(3606) + "HKEY_LOCAL_MACHINE\\" + search), std::string::npos);
    } else {
      EXPECT_EQ(Dump(rig.registry), before);
    }
  }
}

// Undo writes the 32-bit view through that view: a key the views share gets
// nothing in its Wow6432Node twin.
TEST(RepairBackup, The32BitViewIsRestoredThroughItsView) {
  constexpr RegRoot HKLM = RegRoot::LocalMachine;
  const std::string winlogon = R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon)";
  Rig rig;
  rig.registry.ShareViews(HKLM, winlogon);
  rig.registry.Put(HKLM, winlogon, "LegalNoticeCaption", RegValue::Text(RegType::Sz, "x"));
  rig.registry.PutKey(HKLM, Wow64Path(HKLM, winlogon));
  rig.registry.PutKey(HKLM, Wow64Path(HKLM, R"(Software\Microsoft\Windows\CurrentVersion)"));
  const std::string before = Dump(rig.registry);
  rig.Repair(12, "2026-12-06_15-00-00");
  EXPECT_FALSE(rig.registry.Value(HKLM, winlogon, "LegalNoticeCaption"));
  rig.files.stamp += "_undo";
  EXPECT_EQ(UndoBackup(rig.files, rig.context, "1.0").status, UndoResult::Status::Restored);
  EXPECT_EQ(Dump(rig.registry), before);
}

TEST(RepairBackup, TheNewestRunNotYetUndoneIsChosenByTheTimeInsideTheFiles) {
  Rig rig;
  const std::string folder = R"(C:\ProgramData\Orvane\Backups\)";
  auto put = [&](const std::string& name, const std::string& time, const std::string& undoes = "") {
    rig.files.files[folder + name] = WriteRegFile({{}, time, undoes});
  };
  put("2026-10-25_02-30-00.reg", "2026-10-25T00:30:00Z");  // before the clocks went back
  put("2026-10-25_02-10-00_9.reg", "2026-10-25T01:10:00Z");
  put("2026-10-25_02-10-00_10.reg", "2026-10-25T01:10:00Z");
  EXPECT_EQ(NewestBackup(rig.files), folder + "2026-10-25_02-10-00_10.reg");
  put("2026-10-25_03-00-00.reg", "2026-10-25T03:00:00Z", folder + "2026-10-25_02-10-00_10.reg");
  EXPECT_EQ(NewestBackup(rig.files), folder + "2026-10-25_02-10-00_9.reg");
}

TEST(RepairBackup, NamesTakenAreLeftAloneRunsThatChangeNothingKeepNoBackupTheNewestHundredStay) {
  Rig rig;
  const std::string folder = R"(C:\ProgramData\Orvane\Backups)";
  auto count = [&](const char* suffix) { return rig.files.ListFiles(folder, suffix).size(); };
  auto run = [&](int i, bool damaged) {
    if (damaged) rig.registry.Put(HKCU, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page", RegValue::Dword(i));
    return rig.Repair(7, "2026-12-06_" + std::to_string(i));
  };
  rig.files.files[folder + "\\2026-12-06_0.reg"] = rig.files.files[folder + "\\2026-12-06_0_2.log"] = "planted";
  EXPECT_EQ(run(0, true), folder + "\\2026-12-06_0_3.reg");
  EXPECT_EQ(rig.files.files[folder + "\\2026-12-06_0.reg"] + rig.files.files[folder + "\\2026-12-06_0_2.log"], "plantedplanted");
  EXPECT_FALSE(rig.files.files.count(folder + "\\2026-12-06_0_2.reg"));  // given back through its own handle
  for (int i = 1; i <= 120; ++i) run(i, false);
  EXPECT_EQ(count(".reg"), 2u);
  EXPECT_EQ(count(".log"), 101u);  // a hundred of runs that changed nothing
  EXPECT_NE(rig.files.files[folder + "\\2026-12-06_120.log"].find(LoadString(3607)), std::string::npos);
  for (int i = 121; i <= 240; ++i) {
    run(i, true);
    rig.files.files[folder + "\\2026-12-06_" + std::to_string(i) + ".files\\1"] = "a copy";
  }
  EXPECT_EQ(count(".reg"), 100u);
  EXPECT_TRUE(rig.files.files.count(folder + "\\2026-12-06_141.reg"));
  EXPECT_EQ(rig.files.files.count(folder + "\\2026-12-06_140.files\\1"), 0u);  // its copies go with it
  EXPECT_EQ(rig.files.files.count(folder + "\\2026-12-06_141.files\\1"), 1u);
}

}  // namespace
}  // namespace orvane

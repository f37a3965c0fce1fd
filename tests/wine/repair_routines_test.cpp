// The routines against the system's registry (inside a scratch key): the end
// state must equal that of the in-memory registry. The end-to-end run checks
// the tables' values and starts the registrations for real.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>

#include "contract/registry_backend.h"
#include "platform/memory_registry.h"
#include "repair/routines.h"
#include "repair/runner.h"
#include "support/recording_commands.h"
#include "support/registry_dump.h"

namespace orvane {
namespace {

constexpr RegRoot HKCR = RegRoot::ClassesRoot, HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;

// The sandbox lies below HKEY_CURRENT_USER, which has one view: the model's
// 32-bit view is left out (the contract suite holds the views to Windows').
std::string WithoutWow64(const std::string& dump) {
  std::istringstream in(dump);
  std::string out, line;
  while (std::getline(in, line)) {
    if (line.find("Wow6432Node") == std::string::npos) out += line + "\n";
  }
  return out;
}

// Other values, wrong types, values to delete and a find tree three levels deep.
void Damage(RegistryService& reg) {
  const std::string hidden = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden)";
  const std::string winlogon = R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)";
  const struct {
    RegRoot root;
    std::string path, name;
    RegValue value;
  } damage[] = {
      {HKLM, hidden, "Bitmap", RegValue::Text(RegType::Sz, "evil")},
      {HKLM, hidden + R"(\SHOWALL)", "CheckedValue", RegValue::Text(RegType::Sz, "0")},
      {HKLM, hidden + R"(\NOHIDDEN)", "HKeyRoot", RegValue::Text(RegType::ExpandSz, "x")},
      {HKLM, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)", "AlternateShell", RegValue::Dword(9)},
      {HKCR, "lnkfile", "IsShortcut", RegValue::Dword(0)},
      {HKCR, "lnkfile", "Kept", RegValue::Text(RegType::Sz, "kept")},
      {HKCR, R"(exefile\shell\Open\command)", "", RegValue::Text(RegType::ExpandSz, "evil.exe %1")},
      {HKCR, R"(Directory\shell\find\Command\ddeexec\topic)", "", RegValue::Text(RegType::Sz, "t")},
      {HKCR, R"(Directory\shell\find\Command\ddeexec\Application)", "x", RegValue::Dword(1)},
      {HKCR, R"(Directory\shell\find\)" + std::string(250, 'n') + R"(\b)", "", RegValue::Dword(1)},
      {HKCR, R"(Directory\shell\findstr)", "", RegValue::Text(RegType::Sz, "stays")},
      {HKCU, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page", RegValue::Dword(1)},
      {HKLM, R"(Software\Microsoft\Internet Explorer\Search)", "SearchAssistant",
       RegValue::Text(RegType::ExpandSz, "http://bad.example")},
      {HKCU, R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)", "HomePage", RegValue::Dword(1)},
      {HKLM, winlogon, "LegalNoticeCaption", RegValue::Text(RegType::Sz, "Notice")},
      {HKLM, winlogon, "LegalNoticeText", RegValue::Text(RegType::Sz, "Text")},
  };
  for (const auto& d : damage) {
    RegKey key(reg);
    ASSERT_EQ(key.Create(d.root, d.path), regerr::kSuccess) << d.path;
    ASSERT_EQ(reg.SetValue(key.Get(), d.name, d.value), regerr::kSuccess) << d.name;
  }
}

void ExpectSameEndState(bool damaged) {
  auto sandbox = testing::MakeRegistryBackend();
  MemoryRegistry memory;
  if (damaged) {
    Damage(sandbox->Registry());
    Damage(memory);
  }
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://首页.example/", ""};
  RepairContext system{sandbox->Registry(), commands, config}, model{memory, commands, config};
  auto runAll = [](RepairContext& context) {
    for (const RepairItemEntry& item : kRepairItems) EXPECT_TRUE(RunSteps(item.steps, context).Succeeded());
  };
  runAll(system);
  runAll(model);
  std::string expected = WithoutWow64(testing::Dump(memory));
  EXPECT_EQ(testing::Dump(sandbox->Registry()), expected);
  EXPECT_NE(expected.find("exefile"), std::string::npos);
  EXPECT_EQ(expected.find("find\n"), std::string::npos);
  EXPECT_EQ(expected.find("findstr") != std::string::npos, damaged);
  runAll(system);
  EXPECT_EQ(testing::Dump(sandbox->Registry()), expected);  // a second run changes nothing
}

TEST(RepairRoutinesWine, EndStateEqualsTheModelFromAnEmptyAndADamagedRegistry) {
  ExpectSameEndState(false);
  ExpectSameEndState(true);
}

}  // namespace
}  // namespace orvane

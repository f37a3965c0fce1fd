// Where the main window's button run keeps its backup and log, and undo from
// the check menu (check, repair and undo with real input run end to end).
#include <gtest/gtest.h>

#include "resources/catalogue.h"
#include "support/main_window_fixture.h"
#include "support/memory_files.h"
#include "support/registry_dump.h"

namespace orvane {
namespace {

using testing::MainWindowFixture;
using Op = MemoryRegistry::Op;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kIeMain = R"(Software\Microsoft\Internet Explorer\Main)";

struct Rig {
  MainWindowFixture f;
  testing::MemoryFiles& files = f.files;
  frmMain* m = f.form.get();
  int choice = -1;
  Rig() { f.platform.onPopupMenu = [this](const std::vector<std::string>&) { return choice; }; }
  void RightClick(ui::Widget& w) {
    f.platform.MouseDown(w, ui::kRightButton);
    f.platform.MouseUp(w, ui::kRightButton);
  }
};

TEST(MainCheckMenu, TheJournalGoesToTheProtectedFolderOrTheUsersOwnAndAnUndoCanBeUndone) {
  const std::string machine = R"(C:\ProgramData\Orvane\Backups)", local = R"(C:\Users\u\AppData\Local\Orvane\Backups)";
  for (int refused = 0; refused < 3; ++refused) {  // none, not elevated, the protected folder failed its check
    SCOPED_TRACE(refused);
    Rig r;
    r.files.elevated = refused != 1;
    if (refused == 2) r.files.machineCheck = {FolderProblem::OthersMayWrite, machine};
    // A newer backup in the user's folder is never read by an elevated process.
    r.files.files[local + R"(\9999-12-31_23-59-59.reg)"] = "";
    r.f.registry.Put(HKCU, kIeMain, "Start Page", RegValue::Text(RegType::Sz, "http://bad.example"));
    const std::string before = testing::Dump(r.f.registry);
    r.f.registry.FailOn(Op::SetValue, RegRoot::LocalMachine, "");
    r.f.platform.Click(*r.m->rows.chkdo[7]);
    r.f.platform.Click(r.m->ibtndo);
    if (refused == 2) {
      EXPECT_EQ(r.files.files.size(), 1u);
      EXPECT_NE(r.f.platform.messages.at(0).text.find(LoadString(3600) + machine), std::string::npos);
      r.choice = 1;
      r.RightClick(r.m->piclist);
      EXPECT_EQ(r.f.platform.messages.back().text, LoadString(3122));  // nothing to undo
      continue;
    }
    r.files.files.erase(local + R"(\9999-12-31_23-59-59.reg)");
    const std::string folder = refused == 0 ? machine : local;
    const std::string log = r.files.files.at(folder + R"(\2026-12-06_14-03-27.log)");
    EXPECT_NE(log.find(LoadString(3204) + folder + R"(\2026-12-06_14-03-27.reg)"), std::string::npos) << log;
    EXPECT_NE(log.find(R"(HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer\Main)"), std::string::npos) << log;
    EXPECT_NE(log.find(" (5)\r\n"), std::string::npos) << log;

    // Undo keeps a backup of its own; a second undo walks back, finds no repair left and re-applies nothing.
    r.f.registry.ClearFailures();
    r.choice = 1;
    r.files.stamp = "2026-12-06_14-05-00";
    r.RightClick(r.m->piclist);
    EXPECT_EQ(testing::Dump(r.f.registry), before);
    EXPECT_EQ(r.files.files.size(), 4u);
    r.files.stamp = "2026-12-06_14-06-00";
    r.RightClick(r.m->piclist);
    EXPECT_EQ(testing::Dump(r.f.registry), before);
    EXPECT_EQ(r.f.platform.messages.back().text, LoadString(3122));
  }
}

}  // namespace
}  // namespace orvane

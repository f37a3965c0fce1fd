// Row 13 end to end on the headless platform: the check shows what the
// browsers' hijacks leave, and the manager lists and cleans them.
#include <gtest/gtest.h>

#include "browsers/frm_browsers.h"
#include "repair/runner.h"
#include "resources/catalogue.h"
#include "support/main_window_fixture.h"

namespace orvane {
namespace {

const std::string kChrome = R"(SOFTWARE\Policies\Google\Chrome)";
const std::string kEdge = R"(SOFTWARE\Policies\Microsoft\Edge)";
const std::string kLink = R"(C:\Users\u\Desktop\Google Chrome.lnk)";

TEST(BrowserManager, CheckShowsAnyFindingAndTheManagerCleansOnlyTheTickedLines) {
  testing::MainWindowFixture f;
  frmMain& m = *f.form;
  f.platform.onPopupMenu = [](const std::vector<std::string>&) { return 0; };
  f.registry.Put(RegRoot::LocalMachine, kChrome, "HomepageLocation", RegValue::Text(RegType::Sz, "http://a.example"));
  f.registry.Put(RegRoot::CurrentUser, kEdge, "ProxyServer", RegValue::Text(RegType::Sz, "1.2.3.4:80"));
  f.shortcuts.links[kLink] = {{kLink, R"(C:\C\chrome.exe)", "--profile-directory=\"P 1\" b.example"}, ""};
  f.files.files[kLink] = "L\0link";  // the copy kept before it changes
  f.platform.onModal = [&](ui::Form& form) {
    auto& d = dynamic_cast<frmBrowsers&>(form);
    ASSERT_EQ(d.lstfound.SelCount(), 3);
    ASSERT_NE(d.lstfound.List(0).find("[ProxyServer]"), std::string::npos) << d.lstfound.List(0);
    f.platform.ToggleLine(d.lstfound, 0);
    f.platform.Click(d.imgclear);
    ASSERT_EQ(d.lstfound.ListCount(), 1);
    EXPECT_TRUE(d.lstfound.Selected(0)) << "every line found afresh is ticked";
    EXPECT_EQ(d.lblinfo.Caption(), LoadString(3951));
    f.platform.Click(d.imgclear);
    EXPECT_EQ(d.lstfound.ListCount(), 0);
    EXPECT_EQ(d.lblinfo.Caption(), LoadString(3910));
  };
  f.platform.Click(*m.rows.chkdo[kBrowserManagerItem]);
  f.platform.Click(m.ibtndo);
  EXPECT_FALSE(f.registry.Value(RegRoot::LocalMachine, kChrome, "HomepageLocation"));
  EXPECT_FALSE(f.registry.Value(RegRoot::CurrentUser, kEdge, "ProxyServer"));
  EXPECT_EQ(f.shortcuts.links[kLink].info.arguments, "--profile-directory=\"P 1\"");

  f.platform.PressKey(m, ui::Key::F5);
  EXPECT_EQ(m.rows.lbldoinfo[kBrowserManagerItem]->Caption(), LoadString(3111));
}

}  // namespace
}  // namespace orvane

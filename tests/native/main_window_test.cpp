#include <gtest/gtest.h>

#include <sstream>

#include "resources/catalogue.h"
#include "support/main_window_fixture.h"

namespace orvane {
namespace {

using testing::MainWindowFixture;

// Every widget's place and size, depth first.
std::string Geometry(const ui::Widget& w) {
  std::ostringstream out;
  out << w.Name() << w.Index() << ' ' << w.Left() << ',' << w.Top() << ' ' << w.Width() << 'x' << w.Height() << '\n';
  if (auto* box = dynamic_cast<const ui::Container*>(&w)) {
    for (const auto& child : box->Children()) out << Geometry(*child);
  }
  return out.str();
}

// The skin is designed at 96 dpi: at 120, 144 and 192 dpi the window is the
// 96-dpi one made larger, the same in twips.
TEST(MainWindow, LayoutIsTheSameInTwipsAtEveryResolution) {
  MainWindowFixture at96(15.0f);
  EXPECT_EQ(at96.form->vsroll.Max(), 7);
  for (float twipsPerPixel : {12.0f, 10.0f, 7.5f}) {
    MainWindowFixture f(twipsPerPixel);
    EXPECT_EQ(Geometry(*f.form), Geometry(*at96.form)) << twipsPerPixel;
  }
  EXPECT_EQ(VersionCaption(12, 3, 456), "V12.3.0.456");  // major.minor.0.revision
}

// Dragging the window is run end to end; the link starts Explorer, minimised.
TEST(MainWindowMouse, TheLinkOpensTheMakersSite) {
  MainWindowFixture f;
  frmMain& m = *f.form;
  auto& p = f.platform;
  ASSERT_TRUE(p.Click(m.Label2));
  ASSERT_EQ(f.commands.calls.size(), 1u);
  EXPECT_EQ(f.commands.calls[0].commandLine, "explorer.exe " + std::string(kMakerSite));
  EXPECT_EQ(f.commands.calls[0].showWindow, 2);
  f.commands.unstartable.insert("explorer.exe");
  EXPECT_TRUE(p.Click(m.Label2));  // nothing to show when it cannot start
  EXPECT_TRUE(p.messages.empty());
}

// Row 0 reads as running until the last library it registers has ended,
// then red naming each one that failed or did not answer; green once all end well.
TEST(MainWindowRegistrations, ARowShowsItsResultOnlyWhenItsLastRegistrationHasEnded) {
  MainWindowFixture f;
  ui::Label& result = *f.form->rows.lbldoinfo[0];
  f.commands.follow = true;
  f.platform.Click(*f.form->rows.chkdo[0]);
  for (bool failing : {true, false}) {
    f.platform.Click(f.form->ibtndo);
    while (!f.commands.followed.empty()) {
      EXPECT_EQ(std::pair(result.Caption(), result.ForeColor()), std::pair(LoadString(3510), 0x696969u));
      const std::uint32_t pid = f.commands.followed.begin()->first;
      const std::string& line = f.commands.calls[pid - 100].commandLine;
      f.commands.End(pid, !failing ? 0u : line.ends_with("Mshtml.dll") ? std::optional(3u)
                                          : line.ends_with("jscript.dll") ? std::nullopt : std::optional(0u));
      f.platform.DeliverPosted();
    }
    EXPECT_EQ(result.Caption(), LoadString(failing ? 1002 : 1001));
    EXPECT_EQ(result.ToolTip(), !failing ? "" : "regsvr32 /s jscript.dll 60 秒内没有结束\r\nregsvr32 /s Mshtml.dll 失败，退出代码 3");
  }
}

}  // namespace
}  // namespace orvane

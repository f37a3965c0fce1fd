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
  EXPECT_EQ(at96.form->vsroll.Max(), 5);
  EXPECT_EQ(at96.form->ibtndo.Width(), 960);  // measured from its picture
  for (float twipsPerPixel : {12.0f, 10.0f, 7.5f}) {
    MainWindowFixture f(twipsPerPixel);
    EXPECT_EQ(Geometry(*f.form), Geometry(*at96.form)) << twipsPerPixel;
  }
  EXPECT_EQ(VersionCaption(12, 3, 456), "V12.3.0.456");  // major.minor.0.revision
}

TEST(MainWindowMouse, DragAreasAndTheLink) {
  MainWindowFixture f;
  frmMain& m = *f.form;
  auto& p = f.platform;
  for (ui::Widget* area : std::initializer_list<ui::Widget*>{&m, &m.ititle, &m.ibottom}) {
    p.drags.clear();
    p.MouseMove(*area, ui::kLeftButton | ui::kRightButton);
    EXPECT_TRUE(p.drags.empty()) << area->Name();
    p.MouseMove(*area, ui::kLeftButton);
    EXPECT_EQ(p.drags, std::vector<ui::Form*>{&m}) << area->Name();
  }
  p.drags.clear();
  for (ui::Widget* other : std::initializer_list<ui::Widget*>{&m.ibottomtt, &m.ibtndo, &m.txtContent, &m.piclist}) {
    p.MouseMove(*other, ui::kLeftButton);
  }
  EXPECT_TRUE(p.drags.empty());

  ASSERT_TRUE(p.Click(m.Label2));
  ASSERT_EQ(f.commands.calls.size(), 1u);
  EXPECT_EQ(f.commands.calls[0].commandLine, "explorer.exe " + std::string(kMakerSite));
  EXPECT_EQ(f.commands.calls[0].showWindow, 2);
  EXPECT_TRUE(LoadString(2004).ends_with(std::string("(") + kMakerSite + ")"));
  f.commands.unstartable.insert("explorer.exe");
  EXPECT_TRUE(p.Click(m.Label2));  // nothing to show when it cannot start
  EXPECT_TRUE(p.messages.empty());
}

std::string StartPage(MemoryRegistry& registry) {
  auto value = registry.Value(RegRoot::CurrentUser, R"(Software\Microsoft\Internet Explorer\Main)",
                              "Start Page");
  return value ? value->AsText() : "(none)";
}

TEST(MainWindowRunner, RowsButtonLockAndTimerAreWired) {
  MainWindowFixture f;
  frmMain& m = *f.form;
  auto& p = f.platform;
  ASSERT_TRUE(p.Click(*m.rows.chkdo[7]));
  ASSERT_TRUE(p.Click(m.chklock));
  bool buttonOffDuringRun = false;
  p.onDoEvents = [&] {
    buttonOffDuringRun = !m.ibtndo.Enabled();
    p.Click(*m.rows.chkdo[8]);  // a row below, ticked while the run goes on
    p.onDoEvents = nullptr;
  };
  ASSERT_TRUE(p.Click(m.ibtndo));
  EXPECT_TRUE(buttonOffDuringRun);
  EXPECT_TRUE(m.ibtndo.Enabled());
  for (int row : {7, 8}) {
    EXPECT_TRUE(m.rows.lbldoinfo[row]->Visible());
    EXPECT_EQ(m.rows.lbldoinfo[row]->Caption(), LoadString(1001));
    EXPECT_EQ(m.rows.lbldoinfo[row]->ForeColor(), 65280u);
  }
  EXPECT_FALSE(m.rows.lbldoinfo[6]->Visible());
  EXPECT_EQ(StartPage(f.registry), f.stored.HomePage);
  EXPECT_TRUE(m.Timer1.TimerEnabled());

  // A refused write turns the row red.
  f.registry.FailOn(MemoryRegistry::Op::SetValue, RegRoot::CurrentUser, "");
  f.registry.Put(RegRoot::CurrentUser, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page",
                 RegValue::Text(RegType::Sz, "http://changed.example.org"));
  ASSERT_TRUE(p.Click(m.ibtndo));
  EXPECT_EQ(m.rows.lbldoinfo[7]->Caption(), LoadString(1002));
  EXPECT_EQ(m.rows.lbldoinfo[7]->ForeColor(), 255u);

  // The next press with nothing ticked ends lock mode.
  p.Click(m.lblchkall);
  p.Click(m.lblnochk);
  ASSERT_TRUE(p.Click(m.ibtndo));
  EXPECT_FALSE(m.Timer1.TimerEnabled());

  // Row 10 opens the manager and shows no result of its own.
  std::vector<std::string> opened;
  p.onModal = [&](ui::Form& dialog) { opened.push_back(dialog.Name()); };
  ASSERT_TRUE(p.Click(*m.rows.chkdo[10]));
  ASSERT_TRUE(p.Click(m.ibtndo));
  EXPECT_EQ(opened, std::vector<std::string>{"frmMenu"});
  EXPECT_FALSE(m.rows.lbldoinfo[10]->Visible());
}

}  // namespace
}  // namespace orvane

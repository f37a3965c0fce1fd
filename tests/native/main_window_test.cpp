#include <gtest/gtest.h>

#include "resources/catalogue.h"
#include "support/main_window_fixture.h"

namespace orvane {
namespace {

using testing::MainWindowFixture;
using testing::RecordingPeer;
constexpr ui::CursorHandle kHand = ui::HeadlessPlatform::kHandCursor;

void ExpectRect(const ui::Widget& w, float left, float top, float width, float height) {
  SCOPED_TRACE(w.Name());
  EXPECT_EQ(w.Left(), left);
  EXPECT_EQ(w.Top(), top);
  EXPECT_EQ(w.Width(), width);
  EXPECT_EQ(w.Height(), height);
}

// The arrangement fed with the pictures' measured sizes (the formulas are in arrange_test).
// At 120, 144 and 192 dpi the window is the 96-dpi one made larger: the same twips.
TEST(MainWindow, LayoutUsesThePicturesAsLoaded) {
  for (float twipsPerPixel : {15.0f, 12.0f, 10.0f, 7.5f}) {
    SCOPED_TRACE(twipsPerPixel);
    MainWindowFixture f(twipsPerPixel);
    const frmMain& m = *f.form;
    ExpectRect(m.itoptt, 60, 780, 8775, 390);
    ExpectRect(m.pleft, 65, 1185, 6190, 4140);
    ExpectRect(m.ibottomtt, 45, 5340, 8790, 465);
    ExpectRect(m.ibtndo, 7230, 5400, 960, 360);
    EXPECT_EQ(m.chklock.Left(), 780 + m.lblchkall.Width() + m.lblnochk.Width());
    ExpectRect(m.ibottom, 0, 5790, 8925, 405);
    EXPECT_EQ(m.vsroll.Max(), 5);
  }
}

TEST(MainWindow, StartUpRunsInItsOrder) {
  MainWindowFixture f(15.0f, /*load=*/false);
  frmMain& m = *f.form;
  RecordingPeer peer;
  m.SetPeer(&peer);
  bool handBeforeConfig = false, skinAfterConfig = false;
  f.services.readConfig = [&](AppConfig& c) {
    handBeforeConfig = f.platform.handCursorLoads == 1 && f.services.handCursor == kHand;
    skinAfterConfig = m.ititle.Picture() == 0 && m.Caption().empty();
    c = f.stored;
  };
  f.platform.Show(m);
  m.SetPeer(nullptr);
  EXPECT_TRUE(handBeforeConfig);
  EXPECT_TRUE(skinAfterConfig);
  EXPECT_EQ(f.platform.handCursorLoads, 1);
  EXPECT_EQ(f.config.HomePage, f.stored.HomePage);

  // Skin, then layout, then the rows, then the version label.
  const int skin = peer.First(m.ibtndo, ui::Change::Picture);
  const int about = peer.First(m.txtContent, ui::Change::Text);
  const int layout = peer.First(m.pleft, ui::Change::Geometry);
  const int lastLayout = peer.First(m.vsroll, ui::Change::Range);
  const int rows = peer.First(*m.rows.chkdo[1], ui::Change::Added);
  ASSERT_GE(skin, 0);
  EXPECT_LT(skin, about);
  EXPECT_LT(about, layout);
  EXPECT_LT(layout, lastLayout);
  EXPECT_LT(lastLayout, rows);
  EXPECT_LT(peer.First(*m.rows.chkdo[12], ui::Change::Added), peer.First(m.lblversion, ui::Change::Caption));

  EXPECT_EQ(m.Caption(), LoadString(999));
  EXPECT_EQ(m.Icon(), 1);
  EXPECT_EQ(m.Position(), ui::StartPosition::CenterScreen);
  EXPECT_EQ(m.lblversion.Caption(), "V1.0.0.9");
  EXPECT_EQ(VersionCaption(12, 3, 456), "V12.3.0.456");
}

TEST(MainWindow, AboutTextKeepsItsExactBreaks) {
  MainWindowFixture f;
  const std::string expected =
      "\r\n" "什么是Orvane?\r" "\r\n"
      "Orvane是一款由Kestrin开发的，完全免费的系统修复工具.Orvane可以一键修复电脑众多问题。\r"
      "\r\n\r\n\r\n" +
      LoadString(2003) + "\r\n\r\n\r\n" + LoadString(2004);
  EXPECT_EQ(f.form->txtContent.Text(), expected);
  EXPECT_TRUE(f.form->txtContent.Locked());
  EXPECT_TRUE(f.form->txtContent.VerticalScrollBar());
  // The link's address is the one that ends string 2004.
  const std::string s2004 = LoadString(2004);
  EXPECT_TRUE(s2004.ends_with(std::string("(") + kMakerSite + ")")) << s2004;
}

TEST(MainWindowMouse, DragAreasTakeTheLeftButtonAlone) {
  MainWindowFixture f;
  frmMain& m = *f.form;
  auto& p = f.platform;
  for (ui::Widget* area : std::initializer_list<ui::Widget*>{&m, &m.ititle, &m.ibottom}) {
    SCOPED_TRACE(area->Name());
    p.drags.clear();
    p.MouseMove(*area, ui::kRightButton);
    p.MouseMove(*area, ui::kLeftButton | ui::kRightButton);
    EXPECT_TRUE(p.drags.empty());
    p.MouseMove(*area, ui::kLeftButton);
    EXPECT_EQ(p.drags, std::vector<ui::Form*>{&m});
  }
  p.drags.clear();
  for (ui::Widget* other : std::initializer_list<ui::Widget*>{&m.ibottomtt, &m.ibtndo, &m.txtContent,
                                                               &m.piclist, &m.Label2, &m.imin}) {
    p.MouseMove(*other, ui::kLeftButton);
  }
  EXPECT_TRUE(p.drags.empty());
}

TEST(MainWindowMouse, HoverPicturesUnderlineAndPressedClose) {
  MainWindowFixture f;
  frmMain& m = *f.form;
  auto& p = f.platform;
  p.MouseMove(m.ibtndo, 0);
  EXPECT_EQ(m.ibtndo.Picture(), 102);
  EXPECT_EQ(p.cursorsSet.back(), kHand);
  p.MouseMove(m, 0);
  EXPECT_EQ(m.ibtndo.Picture(), 102);  // only the tool bar puts it back
  p.MouseMove(m.ibottomtt, 0);
  EXPECT_EQ(m.ibtndo.Picture(), 101);

  p.MouseMove(m.Label2, 0);
  EXPECT_TRUE(m.Label2.GetFont().underline);
  p.MouseMove(m.ibottomtt, 0);
  EXPECT_TRUE(m.Label2.GetFont().underline);  // only the bottom bar clears it
  p.MouseMove(m.ibottom, 0);
  EXPECT_FALSE(m.Label2.GetFont().underline);

  p.MouseDown(m.iclose, ui::kRightButton);
  p.MouseUp(m.iclose, ui::kRightButton);
  EXPECT_FALSE(p.ended);
  p.MouseDown(m.iclose, ui::kLeftButton);
  ExpectRect(m.iclose, 8513, 113, 315, 225);
  EXPECT_FALSE(p.ended);
  p.MouseUp(m.iclose, ui::kLeftButton, -500, 900);  // released off the image
  EXPECT_TRUE(p.ended);
  ExpectRect(m.iclose, 8505, 105, 315, 225);
}

TEST(MainWindowMouse, SettingsOpenModallyAndTheLinkStartsExplorer) {
  MainWindowFixture f;
  frmMain& m = *f.form;
  auto& p = f.platform;
  std::string opened;
  bool mainBlocked = false;
  p.onModal = [&](ui::Form& dialog) {
    opened = dialog.Name();
    mainBlocked = !p.Click(m.ibtndo) && !p.Click(m.imin);
  };
  ASSERT_TRUE(p.Click(m.imin));
  EXPECT_EQ(opened, "setFrm");
  EXPECT_TRUE(mainBlocked);

  ASSERT_TRUE(p.Click(m.Label2));
  ASSERT_EQ(f.commands.calls.size(), 1u);
  EXPECT_EQ(f.commands.calls[0].commandLine, "explorer.exe http://www.example.com");
  EXPECT_EQ(f.commands.calls[0].showWindow, 2);
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
  ASSERT_TRUE(p.Click(m.ibtndo));
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].text, LoadString(1000));
  EXPECT_EQ(p.messages[0].caption, LoadString(999));
  EXPECT_EQ(p.messages[0].icon, ui::MessageBoxIcon::Information);

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

  // Lock mode puts a changed value back on the next tick.
  f.registry.Put(RegRoot::CurrentUser, R"(Software\Microsoft\Internet Explorer\Main)", "Start Page",
                 RegValue::Text(RegType::Sz, "http://changed.example.org"));
  m.Timer1.FireTimer();
  EXPECT_EQ(StartPage(f.registry), f.stored.HomePage);

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
}

TEST(MainWindowRunner, RowTenOpensTheMenuManager) {
  MainWindowFixture f;
  std::vector<std::string> opened;
  f.platform.onModal = [&](ui::Form& dialog) { opened.push_back(dialog.Name()); };
  ASSERT_TRUE(f.platform.Click(*f.form->rows.chkdo[10]));
  ASSERT_TRUE(f.platform.Click(f.form->ibtndo));
  EXPECT_EQ(opened, std::vector<std::string>{"frmMenu"});
  EXPECT_FALSE(f.form->rows.lbldoinfo[10]->Visible());
}

}  // namespace
}  // namespace orvane

#include <gtest/gtest.h>

#include <sstream>

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

}  // namespace
}  // namespace orvane

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/toolkit/form.h"
#include "ui/toolkit/headless.h"

namespace orvane::ui {
namespace {

TEST(ToolkitHeadless, HitTestAndTabOrder) {
  HeadlessPlatform platform;
  Form form(platform, "setFrm");
  form.Move({0, 0, 9000, 6000});
  auto& under = form.Add<Image>("under");
  under.Move({0, 0, 3000, 3000});
  auto& over = form.Add<Image>("over");
  over.Move({1000, 1000, 1000, 1000});
  auto& panel = form.Add<Panel>("pleft");
  panel.Move({4000, 1000, 2000, 2000});
  auto& home = panel.Add<TextBox>("txthomepage");
  home.Move({500, 500, 200, 200});
  home.SetTabIndex(1);
  auto& search = form.Add<TextBox>("txtsearch");
  search.SetTabIndex(2);
  auto& hidden = form.Add<TextBox>("hidden");
  hidden.SetTabIndex(0);
  hidden.SetVisible(false);

  EXPECT_EQ(form.HitTest(1500, 1500), &over);   // later child lies above
  EXPECT_EQ(form.HitTest(2000, 2000), &under);  // right edge is outside
  EXPECT_EQ(form.HitTest(4600, 1600), &home);
  EXPECT_EQ(form.HitTest(8000, 5000), &form);
  EXPECT_EQ(home.FormBounds().left, 4500);
  over.SetVisible(false);
  EXPECT_EQ(form.HitTest(1500, 1500), &under);

  form.FocusFirst();
  EXPECT_EQ(form.Focused(), &home);
  form.FocusNext();
  EXPECT_EQ(form.Focused(), &search);
  form.FocusNext();  // wraps
  EXPECT_EQ(form.Focused(), &home);
  form.SetFocus(&hidden);  // refused
  EXPECT_EQ(form.Focused(), &home);
}

TEST(ToolkitHeadless, ModalDialogsBlockTheirOwnerUntilClosed) {
  HeadlessPlatform platform;
  Form main(platform, "frmMain");
  auto& imin = main.Add<Image>("imin");
  int minClicks = 0;
  imin.onClick = [&] { ++minClicks; };
  platform.Show(main);

  Form dlg(platform, "setFrm");
  auto& ok = dlg.Add<Image>("imgok");
  ok.onClick = [&] { dlg.Close(); };
  std::vector<std::string> order;
  dlg.onLoad = [&] { order.push_back("load"); };
  platform.onModal = [&](Form& f) {
    order.push_back("modal " + f.Name());
    EXPECT_FALSE(platform.Click(imin));
    EXPECT_FALSE(platform.MouseMove(imin, 0));
    EXPECT_TRUE(platform.Click(ok));
  };
  platform.ShowModal(dlg, nullptr);

  EXPECT_EQ(order, (std::vector<std::string>{"load", "modal setFrm"}));
  EXPECT_TRUE(dlg.Closed());
  EXPECT_TRUE(platform.modalStack.empty());
  EXPECT_TRUE(platform.Click(imin));
  EXPECT_FALSE(platform.Click(ok));  // its form has closed
  EXPECT_EQ(minClicks, 1);

  // A form that closes itself while loading is never driven.
  Form quitter(platform, "quitter");
  quitter.onLoad = [&] { quitter.Close(); };
  platform.onModal = [&](Form&) { ADD_FAILURE() << "driven"; };
  platform.ShowModal(quitter, nullptr);
}

TEST(ToolkitHeadless, InputNeedsAShownEnabledWidget) {
  HeadlessPlatform platform;
  Form form(platform, "frm");
  auto& panel = form.Add<Panel>("p");
  auto& box = panel.Add<TextBox>("txt");
  auto& bar = panel.Add<ScrollBar>("vs");
  bar.SetMax(10);
  auto& list = panel.Add<ListBox>("lst");
  list.AddItem("a");
  EXPECT_TRUE(platform.Type(box, "www.example.test"));
  EXPECT_EQ(form.Focused(), &box);
  EXPECT_TRUE(platform.Scroll(bar, 99));
  EXPECT_EQ(bar.Value(), 10);
  EXPECT_TRUE(platform.ToggleLine(list, 0));
  EXPECT_FALSE(platform.ToggleLine(list, 1));

  panel.SetEnabled(false);  // a disabled container disables what it holds
  EXPECT_FALSE(platform.Type(box, "x"));
  EXPECT_FALSE(platform.Scroll(bar, 0));
  EXPECT_FALSE(platform.ToggleLine(list, 0));
  EXPECT_EQ(box.Text(), "www.example.test");
  panel.SetEnabled(true);
  panel.SetVisible(false);
  EXPECT_FALSE(platform.MouseDown(box, kLeftButton));
  panel.SetVisible(true);
  box.SetLocked(true);  // read-only text takes no typing
  EXPECT_FALSE(platform.Type(box, "x"));
}

}  // namespace
}  // namespace orvane::ui

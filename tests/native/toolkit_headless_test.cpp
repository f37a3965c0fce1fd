#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/toolkit/form.h"
#include "ui/toolkit/headless.h"

namespace orvane::ui {
namespace {

TEST(ToolkitLayout, HitTestFindsTheTopmostVisibleWidget) {
  HeadlessPlatform platform;
  Form form(platform, "frm");
  form.Move({0, 0, 9000, 6000});
  auto& under = form.Add<Image>("under");
  under.Move({0, 0, 3000, 3000});
  auto& over = form.Add<Image>("over");
  over.Move({1000, 1000, 1000, 1000});
  auto& panel = form.Add<Panel>("pleft");
  panel.Move({4000, 1000, 2000, 2000});
  auto& inner = panel.Add<Panel>("piclist");
  inner.Move({500, 500, 1000, 1000});
  auto& row = inner.Add<Label>("row");
  row.Move({100, 100, 200, 200});

  EXPECT_EQ(form.HitTest(500, 500), &under);
  EXPECT_EQ(form.HitTest(1500, 1500), &over);   // later child lies above
  EXPECT_EQ(form.HitTest(2000, 2000), &under);  // right edge is outside
  EXPECT_EQ(form.HitTest(8000, 5000), &form);
  EXPECT_EQ(form.HitTest(4000 + 500 + 150, 1000 + 500 + 150), &row);
  EXPECT_EQ(form.HitTest(4000 + 500 + 350, 1000 + 500 + 150), &inner);
  EXPECT_EQ(form.HitTest(4100, 1100), &panel);
  EXPECT_EQ(row.FormBounds().left, 4600);
  EXPECT_EQ(row.FormBounds().top, 1600);
  EXPECT_EQ(row.FormBounds().width, 200);
  EXPECT_EQ(form.FormBounds().left, 0);

  over.SetVisible(false);
  EXPECT_EQ(form.HitTest(1500, 1500), &under);
  inner.SetVisible(false);
  EXPECT_EQ(form.HitTest(4650, 1650), &panel);
  EXPECT_FALSE(row.Shown());
  EXPECT_TRUE(row.Visible());
}

TEST(ToolkitFocus, TabOrderSkipsWhatCannotTakeFocusAndWraps) {
  HeadlessPlatform platform;
  Form form(platform, "setFrm");
  auto& search = form.Add<TextBox>("txtsearch");
  search.SetTabIndex(2);
  form.Add<Image>("imgok").SetTabIndex(0);  // images take no focus
  auto& panel = form.Add<Panel>("p");
  auto& home = panel.Add<TextBox>("txthomepage");
  home.SetTabIndex(1);
  auto& hidden = form.Add<TextBox>("hidden");
  hidden.SetTabIndex(0);
  hidden.SetVisible(false);
  auto& list = form.Add<ListBox>("lst");
  list.SetTabIndex(3);
  list.SetEnabled(false);

  form.FocusFirst();
  EXPECT_EQ(form.Focused(), &home);
  form.FocusNext();
  EXPECT_EQ(form.Focused(), &search);
  form.FocusNext();
  EXPECT_EQ(form.Focused(), &home);
  form.FocusNext(true);
  EXPECT_EQ(form.Focused(), &search);

  list.SetEnabled(true);
  form.FocusNext();
  EXPECT_EQ(form.Focused(), &list);
  form.FocusNext();
  EXPECT_EQ(form.Focused(), &home);

  form.SetFocus(&hidden);  // refused: cannot take focus
  EXPECT_EQ(form.Focused(), &home);
  Form other(platform, "other");
  auto& foreign = other.Add<TextBox>("t");
  form.SetFocus(&foreign);  // refused: another form's widget
  EXPECT_EQ(form.Focused(), &home);

  Form empty(platform, "empty");  // nothing can take focus
  empty.Add<Image>("img");
  empty.FocusFirst();
  empty.FocusNext(true);
  EXPECT_EQ(empty.Focused(), nullptr);
}

TEST(ToolkitHeadless, ModalDialogsBlockTheirOwnerUntilClosed) {
  HeadlessPlatform platform;
  Form main(platform, "frmMain");
  auto& imin = main.Add<Image>("imin");
  int minClicks = 0;
  imin.onClick = [&] { ++minClicks; };
  platform.Show(main);
  ASSERT_TRUE(platform.Click(imin));

  Form dlg(platform, "setFrm");
  auto& ok = dlg.Add<Image>("imgok");
  ok.onClick = [&] { dlg.Close(); };
  std::vector<std::string> order;
  dlg.onLoad = [&] {
    order.push_back("load");
    EXPECT_EQ(platform.modalStack, std::vector<Form*>{&dlg});
  };
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
  EXPECT_EQ(platform.shown, (std::vector<Form*>{&main, &dlg}));
  EXPECT_EQ(minClicks, 1);
  EXPECT_TRUE(platform.Click(imin));
  EXPECT_FALSE(platform.Click(ok));  // its form has closed
  EXPECT_EQ(minClicks, 2);
}

TEST(ToolkitHeadless, UnansweredModalsCloseAndNestedOnesStack) {
  HeadlessPlatform platform;
  Form outer(platform, "outer");
  Form inner(platform, "inner");
  auto& outerBtn = outer.Add<Image>("b");
  int loads = 0;
  inner.onLoad = [&] { ++loads; };

  platform.ShowModal(inner, nullptr);  // no hook: closed at once
  EXPECT_TRUE(inner.Closed());
  EXPECT_EQ(loads, 1);

  Form second(platform, "second");
  platform.onModal = [&](Form& f) {
    if (&f != &outer) {
      EXPECT_FALSE(platform.Click(outerBtn));
      return;  // left open: the platform closes it
    }
    EXPECT_TRUE(platform.Click(outerBtn));
    platform.ShowModal(second, &outer);
    EXPECT_EQ(platform.modalStack, std::vector<Form*>{&outer});
    EXPECT_TRUE(platform.Click(outerBtn));
  };
  platform.ShowModal(outer, nullptr);
  EXPECT_TRUE(second.Closed());
  EXPECT_TRUE(outer.Closed());
  EXPECT_TRUE(platform.modalStack.empty());

  // A form that closes itself while loading is never driven.
  Form quitter(platform, "quitter");
  quitter.onLoad = [&] { quitter.Close(); };
  bool driven = false;
  platform.onModal = [&](Form&) { driven = true; };
  platform.ShowModal(quitter, nullptr);
  EXPECT_FALSE(driven);
  EXPECT_TRUE(platform.modalStack.empty());
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
  std::vector<MouseEvent> downs;
  box.onMouseDown = [&](const MouseEvent& e) { downs.push_back(e); };
  box.onMouseUp = [&](const MouseEvent& e) { downs.push_back(e); };

  EXPECT_TRUE(platform.MouseDown(box, kRightButton, 15, 30));
  EXPECT_TRUE(platform.MouseUp(box, kLeftButton));
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].buttons, kRightButton);
  EXPECT_EQ(downs[0].x, 15);
  EXPECT_EQ(downs[0].y, 30);
  EXPECT_EQ(downs[1].buttons, kLeftButton);

  EXPECT_TRUE(platform.Type(box, "www.example.test"));
  EXPECT_EQ(box.Text(), "www.example.test");
  EXPECT_EQ(form.Focused(), &box);
  EXPECT_TRUE(platform.Scroll(bar, 99));
  EXPECT_EQ(bar.Value(), 10);
  EXPECT_TRUE(platform.ToggleLine(list, 0));
  EXPECT_TRUE(list.Selected(0));
  EXPECT_FALSE(platform.ToggleLine(list, 1));
  EXPECT_FALSE(platform.ToggleLine(list, -1));

  panel.SetEnabled(false);  // a disabled container disables what it holds
  EXPECT_FALSE(platform.Type(box, "x"));
  EXPECT_FALSE(platform.Scroll(bar, 0));
  EXPECT_FALSE(platform.ToggleLine(list, 0));
  EXPECT_EQ(box.Text(), "www.example.test");
  EXPECT_EQ(bar.Value(), 10);
  panel.SetEnabled(true);
  panel.SetVisible(false);
  EXPECT_FALSE(platform.MouseDown(box, kLeftButton));
  panel.SetVisible(true);

  box.SetLocked(true);  // read-only text takes no typing
  EXPECT_FALSE(platform.Type(box, "x"));
  EXPECT_TRUE(platform.Click(box));
}

TEST(ToolkitHeadless, RecordsWhatTheProgramAskedOfTheSystem) {
  HeadlessPlatform platform;
  Form form(platform, "frm");
  std::vector<std::string> answered;
  platform.onMessage = [&](const HeadlessPlatform::Message& m) {
    answered.push_back(m.text);
    if (m.text == "first") platform.MessageBox("second", "c", MessageBoxIcon::None);
  };
  platform.MessageBox("first", "标题", MessageBoxIcon::Information);
  EXPECT_EQ(answered, (std::vector<std::string>{"first", "second"}));
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].caption, "标题");
  EXPECT_EQ(platform.messages[0].icon, MessageBoxIcon::Information);

  int pending = 0;
  platform.onDoEvents = [&] { ++pending; };
  platform.DoEvents();
  EXPECT_EQ(platform.doEventsCalls, 1);
  EXPECT_EQ(pending, 1);

  const CursorHandle hand = platform.LoadHandCursor();
  EXPECT_EQ(hand, HeadlessPlatform::kHandCursor);
  EXPECT_EQ(platform.handCursorLoads, 1);
  platform.SetCursor(hand);
  platform.DragWindow(form);
  EXPECT_EQ(platform.cursorsSet, std::vector<CursorHandle>{hand});
  EXPECT_EQ(platform.drags, std::vector<Form*>{&form});
  EXPECT_FALSE(platform.ended);
  platform.EndProgram();
  EXPECT_TRUE(platform.ended);

  Font font;
  font.sizePt = 10.5f;
  const TextSize size = platform.MeasureText("V1.0版本", font);
  EXPECT_EQ(size.width, 4 * 105 + 2 * 210);
  EXPECT_EQ(size.height, 210);
}

}  // namespace
}  // namespace orvane::ui

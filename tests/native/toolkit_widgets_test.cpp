#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/toolkit/form.h"
#include "ui/toolkit/headless.h"

namespace orvane::ui {
namespace {

struct Event {
  std::string widget;
  Change what;
  bool operator==(const Event&) const = default;
};

class RecordingPeer : public FormPeer {
 public:
  void Changed(Widget& widget, Change what) override { events.push_back({widget.Name(), what}); }
  std::vector<Event> Take() { return std::exchange(events, {}); }
  std::vector<Event> events;
};

// A control that counts how often it is told of a new size.
class Counting : public UserControl {
 public:
  explicit Counting(std::string name) : UserControl(std::move(name), -1) {}
  int resizes = 0;

 protected:
  void Resize() override { ++resizes; }
};

class Toolkit : public ::testing::Test {
 protected:
  HeadlessPlatform platform;
  RecordingPeer peer;  // outlives the form, which says goodbye to it
  Form form{platform, "frmTest"};
  void SetUp() override { form.SetPeer(&peer); }
};

TEST_F(Toolkit, ChangesReachThePeerOnlyWhenSomethingChanged) {
  auto& img = form.Add<Image>("img");
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"img", Change::Added}}));

  img.Move({10, 20, 30, 40});
  img.SetLeft(10);
  img.SetVisible(true);
  img.SetEnabled(true);
  img.SetToolTip("");
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"img", Change::Geometry}}));

  img.SetVisible(false);
  img.SetEnabled(false);
  img.SetPointer(MousePointer::Hand);
  img.SetToolTip("tip");
  form.SetBackColor(kWhite);
  form.SetCaption("标题");
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"img", Change::Visible},
                                             {"img", Change::Enabled},
                                             {"img", Change::Pointer},
                                             {"img", Change::ToolTip},
                                             {"frmTest", Change::Colors},
                                             {"frmTest", Change::Caption}}));

  auto& panel = form.Add<Panel>("pleft");
  auto& inner = panel.Add<TextBox>("txt");
  peer.Take();
  inner.SetText("abc");
  inner.SetFont(Font{});
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"txt", Change::Text}, {"txt", Change::Font}}));
}

TEST_F(Toolkit, RemovalIsAnnouncedWhileTheWidgetStillExists) {
  auto& panel = form.Add<Panel>("pleft");
  auto& box = panel.Add<TextBox>("txt");
  form.SetFocus(&box);
  ASSERT_EQ(form.Focused(), &box);
  peer.Take();

  form.Remove(panel);
  ASSERT_FALSE(peer.events.empty());
  EXPECT_EQ(peer.events.front(), (Event{"pleft", Change::Removing}));
  EXPECT_EQ(form.Focused(), nullptr);  // focus does not dangle
  EXPECT_TRUE(form.Children().empty());

  // Removing a widget that is not a child is ignored.
  Form other(platform, "other");
  auto& stranger = other.Add<Label>("lbl");
  form.Remove(stranger);
  EXPECT_EQ(other.Children().size(), 1u);
}

TEST_F(Toolkit, ADestroyedFormIsAnnouncedOnceAndItsChildrenSilently) {
  auto doomed = std::make_unique<Form>(platform, "frmGone");
  RecordingPeer local;
  doomed->SetPeer(&local);
  auto& panel = doomed->Add<Panel>("p");
  panel.Add<Label>("l").SetCaption("x");
  panel.Add<Counting>("c").Move({0, 0, 10, 10});
  local.Take();
  doomed.reset();
  EXPECT_EQ(local.Take(), (std::vector<Event>{{"frmGone", Change::Removing}}));
}

TEST_F(Toolkit, ResizeReachesControlsOnlyWhenTheSizeChanges) {
  auto& ctl = form.Add<Counting>("chk");
  ctl.Move({0, 0, 100, 100});
  EXPECT_EQ(ctl.resizes, 1);
  ctl.Move({50, 60, 100, 100});
  EXPECT_EQ(ctl.resizes, 1);
  ctl.SetHeight(255);
  ctl.SetWidth(255);
  EXPECT_EQ(ctl.resizes, 3);
  ctl.SetWidth(255);
  EXPECT_EQ(ctl.resizes, 3);
}

TEST_F(Toolkit, AutoSizedLabelsFollowTheirText) {
  auto& lbl = form.Add<Label>("lblchkall");
  lbl.Move({100, 200, 999, 999});
  lbl.SetCaption("ab全选");
  EXPECT_EQ(lbl.Width(), 999);  // fixed size until auto-size is on

  lbl.SetAutoSize(true);
  EXPECT_EQ(lbl.Width(), 2 * 90 + 2 * 180);
  EXPECT_EQ(lbl.Height(), 180);
  EXPECT_EQ(lbl.Left(), 100);  // the position stays

  peer.Take();
  Font calibri;
  calibri.name = "Calibri";
  calibri.sizePt = 12;
  lbl.SetFont(calibri);
  EXPECT_EQ(lbl.Width(), 2 * 120 + 2 * 240);
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"lblchkall", Change::Geometry}, {"lblchkall", Change::Font}}));

  lbl.SetUnderline(true);
  EXPECT_TRUE(lbl.GetFont().underline);
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"lblchkall", Change::Font}}));

  lbl.SetCaption("");
  EXPECT_EQ(lbl.Width(), 0);
  lbl.SetForeColor(kWhite);
  lbl.SetBackStyle(BackStyle::Transparent);
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"lblchkall", Change::Geometry},
                                             {"lblchkall", Change::Caption},
                                             {"lblchkall", Change::Colors},
                                             {"lblchkall", Change::Colors}}));
}

// Builds its parts in its constructor, before it has a form, as the
// program's own controls do.
class Prebuilt : public UserControl {
 public:
  explicit Prebuilt(std::string name) : UserControl(std::move(name), -1) {
    caption.SetAutoSize(true);
    caption.SetCaption("abc");
    picture.SetPicture(101);
    resized.SetPicture(101);
    resized.SetWidth(100);
  }
  Label& caption = Add<Label>("lbl");
  Image& picture = Add<Image>("img");
  Image& resized = Add<Image>("resized");
};

TEST_F(Toolkit, LabelsBuiltBeforeTheyHaveAFormFitOnJoiningOne) {
  Prebuilt detached("alone");
  EXPECT_EQ(detached.caption.Width(), 0);  // nothing to measure with yet

  auto& ctl = form.Add<Panel>("p").Add<Prebuilt>("chk");
  EXPECT_EQ(ctl.caption.Width(), 270);
  EXPECT_EQ(ctl.caption.Height(), 180);
}

// Skin bitmap 101 is 64 x 24 pixels; 109 is 219 x 46.
TEST(ToolkitPictures, ImagesTakeThePictureSizeAtTheScreenResolution) {
  for (const auto& [twipsPerPixel, w, h] :
       std::vector<std::tuple<float, Twips, Twips>>{{15.0f, 960, 360}, {10.0f, 640, 240}}) {
    HeadlessPlatform platform(twipsPerPixel);
    RecordingPeer peer;
    Form form(platform, "frm");
    form.SetPeer(&peer);
    auto& img = form.Add<Image>("ibtndo");
    img.Move({30, 40, 5, 5});
    peer.Take();

    img.SetPicture(101);
    EXPECT_EQ(img.Width(), w);
    EXPECT_EQ(img.Height(), h);
    EXPECT_EQ(img.Left(), 30);
    EXPECT_EQ(img.PictureSerial(), 1u);
    EXPECT_EQ(peer.Take(), (std::vector<Event>{{"ibtndo", Change::Geometry}, {"ibtndo", Change::Picture}}));

    // The same picture again is still a fresh load.
    img.SetPicture(101);
    EXPECT_EQ(img.PictureSerial(), 2u);
    EXPECT_EQ(peer.Take(), (std::vector<Event>{{"ibtndo", Change::Picture}}));

    img.SetPicture(109);
    EXPECT_EQ(img.Width(), 219 * twipsPerPixel);
    EXPECT_EQ(img.Height(), 46 * twipsPerPixel);
    EXPECT_EQ(platform.PictureSize(109).width, 219 * twipsPerPixel);
  }
}

TEST(ToolkitPictures, PicturesSetBeforeAFormAreMeasuredAgainOnJoining) {
  Prebuilt detached("alone");
  EXPECT_EQ(detached.picture.Width(), 960);  // 96 dpi without a screen to ask
  EXPECT_EQ(detached.picture.Height(), 360);

  HeadlessPlatform platform(10.0f);
  Form form(platform, "frm");
  auto& ctl = form.Add<Prebuilt>("chk");
  EXPECT_EQ(ctl.picture.Width(), 640);
  EXPECT_EQ(ctl.picture.Height(), 240);
  EXPECT_EQ(ctl.resized.Width(), 100);  // sized by hand afterwards: kept
  EXPECT_EQ(ctl.picture.PictureSerial(), 1u);
}

TEST(ToolkitPictures, MissingPicturesAndFormBackgroundsKeepTheSize) {
  HeadlessPlatform platform;
  Form form(platform, "frm");
  form.Move({0, 0, 8895, 6195});
  auto& img = form.Add<Image>("img");
  img.Move({0, 0, 123, 45});
  img.SetPicture(9999);
  EXPECT_EQ(img.Width(), 123);
  EXPECT_EQ(img.Picture(), 9999);
  EXPECT_EQ(img.PictureSerial(), 1u);
  EXPECT_EQ(platform.PictureSize(9999).width, 0);

  form.SetPicture(106);
  form.SetPicture(106);
  EXPECT_EQ(form.PictureSerial(), 2u);
  EXPECT_EQ(form.Width(), 8895);
  EXPECT_EQ(form.Height(), 6195);
}

TEST(ToolkitScrollBar, ValueIsClampedAndOnlyRealChangesAreReported) {
  HeadlessPlatform platform;
  RecordingPeer peer;
  Form form(platform, "frm");
  form.SetPeer(&peer);
  auto& bar = form.Add<ScrollBar>("vsroll");
  int changes = 0;
  bar.onChange = [&] { ++changes; };

  bar.SetMax(10);
  EXPECT_EQ(changes, 0);
  bar.SetValue(4);
  bar.SetValue(4);
  EXPECT_EQ(changes, 1);
  bar.SetValue(50);
  EXPECT_EQ(bar.Value(), 10);
  bar.SetValue(11);
  EXPECT_EQ(changes, 2);
  bar.SetValue(-3);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(changes, 3);

  bar.SetValue(8);
  peer.Take();
  bar.SetMax(5);  // the value follows the shrinking range
  EXPECT_EQ(bar.Value(), 5);
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"vsroll", Change::Range}, {"vsroll", Change::Value}}));
  bar.SetMin(2);
  EXPECT_EQ(bar.Value(), 5);
  EXPECT_EQ(changes, 5);

  // A range that runs backwards still bounds the value.
  bar.SetMin(20);
  EXPECT_EQ(bar.Value(), 5);
  bar.SetValue(30);
  EXPECT_EQ(bar.Value(), 20);
  bar.SetValue(1);
  EXPECT_EQ(bar.Value(), 5);
}

TEST(ToolkitListBox, LinesTicksAndCounts) {
  HeadlessPlatform platform;
  RecordingPeer peer;
  Form form(platform, "frm");
  form.SetPeer(&peer);
  auto& list = form.Add<ListBox>("lstmenu");
  peer.Take();

  list.AddItem("添加到剪辑(&C)");
  list.AddItem("b");
  list.AddItem("c");
  EXPECT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(0), "添加到剪辑(&C)");
  EXPECT_EQ(list.SelCount(), 0);
  list.SetSelected(0, true);
  list.SetSelected(2, true);
  list.SetSelected(2, true);
  EXPECT_EQ(list.SelCount(), 2);
  EXPECT_FALSE(list.Selected(1));
  EXPECT_THROW(list.SetSelected(3, true), std::out_of_range);
  EXPECT_EQ(peer.Take().size(), 5u);  // three adds, two ticks

  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.SelCount(), 0);
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"lstmenu", Change::Items}}));
}

TEST(ToolkitTimer, SettingsAreAnnouncedAndTicksNeedTheTimerOn) {
  HeadlessPlatform platform;
  RecordingPeer peer;
  Form form(platform, "frm");
  form.SetPeer(&peer);
  auto& timer = form.Add<Timer>("Timer1");
  EXPECT_FALSE(timer.Visible());
  peer.Take();
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  timer.SetInterval(100);
  timer.FireTimer();
  EXPECT_EQ(ticks, 0);
  timer.SetTimerEnabled(true);
  timer.FireTimer();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(peer.Take(), (std::vector<Event>{{"Timer1", Change::Timer}, {"Timer1", Change::Timer}}));
}

}  // namespace
}  // namespace orvane::ui

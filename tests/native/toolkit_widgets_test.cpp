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
using Events = std::vector<Event>;

class RecordingPeer : public FormPeer {
 public:
  void Changed(Widget& widget, Change what) override { events.push_back({widget.Name(), what}); }
  Events Take() { return std::exchange(events, {}); }
  Events events;
};

// Counts how often it is told of a new size; builds its parts before it has a
// form, as the program's own controls do.
class Prebuilt : public UserControl {
 public:
  explicit Prebuilt(std::string name) : UserControl(std::move(name), -1) {
    caption.SetAutoSize(true);
    caption.SetCaption("abc");
    picture.SetPicture(101);  // 64 x 24 px
    resized.SetPicture(101);
    resized.SetWidth(100);
  }
  Label& caption = Add<Label>("lbl");
  Image& picture = Add<Image>("img");
  Image& resized = Add<Image>("resized");
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

TEST_F(Toolkit, PeerHearsOnlyRealChangesAndRemovalsBeforeTheyHappen) {
  auto& img = form.Add<Image>("img");
  img.Move({10, 20, 30, 40});
  img.SetLeft(10);
  img.SetVisible(true);
  img.SetVisible(false);
  form.SetCaption("标题");
  EXPECT_EQ(peer.Take(), (Events{{"img", Change::Added},
                                 {"img", Change::Geometry},
                                 {"img", Change::Visible},
                                 {"frmTest", Change::Caption}}));

  auto& panel = form.Add<Panel>("pleft");
  auto& box = panel.Add<TextBox>("txt");
  form.SetFocus(&box);
  peer.Take();
  form.Remove(panel);
  ASSERT_FALSE(peer.events.empty());
  EXPECT_EQ(peer.events.front(), (Event{"pleft", Change::Removing}));
  EXPECT_EQ(form.Focused(), nullptr);  // focus does not dangle

  // A destroyed form is announced once, its children silently.
  auto doomed = std::make_unique<Form>(platform, "frmGone");
  RecordingPeer local;
  doomed->SetPeer(&local);
  doomed->Add<Panel>("p").Add<Label>("l").SetCaption("x");
  local.Take();
  doomed.reset();
  EXPECT_EQ(local.Take(), (Events{{"frmGone", Change::Removing}}));
}

TEST_F(Toolkit, AutoSizedLabelsAndControlSizes) {
  auto& lbl = form.Add<Label>("lblchkall");
  lbl.Move({100, 200, 999, 999});
  lbl.SetCaption("ab全选");
  EXPECT_EQ(lbl.Width(), 999);  // fixed size until auto-size is on
  lbl.SetAutoSize(true);
  EXPECT_EQ(lbl.Width(), 2 * 90 + 2 * 180);
  EXPECT_EQ(lbl.Left(), 100);  // the position stays

  Font calibri;
  calibri.sizePt = 12;
  lbl.SetFont(calibri);
  EXPECT_EQ(lbl.Width(), 2 * 120 + 2 * 240);

  // Built before it had a form: measured on joining one.
  auto& ctl = form.Add<Panel>("p").Add<Prebuilt>("chk");
  EXPECT_EQ(ctl.caption.Width(), 270);

  // Controls hear of a new size only when the size changes.
  ctl.Move({0, 0, 100, 100});
  ctl.Move({50, 60, 100, 100});
  ctl.SetWidth(100);
  EXPECT_EQ(ctl.resizes, 1);
  ctl.SetHeight(255);
  EXPECT_EQ(ctl.resizes, 2);
}

// Skin bitmap 101 is 64 x 24 pixels; 109 is 219 x 46.
// The skin is designed at 96 dpi: its sizes in twips are the same at every resolution.
TEST(ToolkitPictures, ImagesTakeThePictureSizeAtItsDesignResolution) {
  for (const auto& [twipsPerPixel, w, h] :
       std::vector<std::tuple<float, Twips, Twips>>{{15.0f, 960, 360}, {10.0f, 960, 360}}) {
    HeadlessPlatform platform(twipsPerPixel);
    Form form(platform, "frm");
    auto& img = form.Add<Image>("ibtndo");
    img.SetPicture(109);
    img.SetPicture(101);
    EXPECT_EQ(img.Width(), w);
    EXPECT_EQ(img.Height(), h);
    img.SetPicture(101);  // the same picture again is still a fresh load
    EXPECT_EQ(img.PictureSerial(), 3u);

    // Pictures set before joining a form are measured again on joining,
    // unless sized by hand afterwards.
    auto& ctl = form.Add<Prebuilt>("chk");
    EXPECT_EQ(ctl.picture.Width(), w);
    EXPECT_EQ(ctl.resized.Width(), 100);
  }

  HeadlessPlatform platform;
  Form form(platform, "frm");
  form.Move({0, 0, 8895, 6195});
  auto& img = form.Add<Image>("img");
  img.Move({0, 0, 123, 45});
  img.SetPicture(9999);  // missing: the size stays
  EXPECT_EQ(img.Width(), 123);
  form.SetPicture(106);  // a background does not size its form
  EXPECT_EQ(form.Width(), 8895);
}

TEST(ToolkitScrollBar, ValueIsClampedAndOnlyRealChangesAreReported) {
  HeadlessPlatform platform;
  Form form(platform, "frm");
  auto& bar = form.Add<ScrollBar>("vsroll");
  int changes = 0;
  bar.onChange = [&] { ++changes; };

  bar.SetMax(10);
  bar.SetValue(4);
  bar.SetValue(4);
  EXPECT_EQ(changes, 1);
  bar.SetValue(50);
  EXPECT_EQ(bar.Value(), 10);
  bar.SetValue(11);
  EXPECT_EQ(changes, 2);
  bar.SetValue(-3);
  bar.SetValue(8);
  bar.SetMax(5);  // the value follows the shrinking range
  EXPECT_EQ(changes, 5);

  bar.SetMin(20);  // a range that runs backwards still bounds the value
  bar.SetValue(30);
  EXPECT_EQ(bar.Value(), 20);
  bar.SetValue(1);
  EXPECT_EQ(bar.Value(), 5);
}

}  // namespace
}  // namespace orvane::ui

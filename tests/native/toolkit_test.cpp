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

// Builds its parts before it has a form, as the program's own controls do.
class Prebuilt : public UserControl {
 public:
  explicit Prebuilt(std::string name) : UserControl(std::move(name), -1) {
    picture.SetPicture(101);  // 64 x 24 px
    resized.SetPicture(101);
    resized.SetWidth(100);
  }
  Image& picture = Add<Image>("img");
  Image& resized = Add<Image>("resized");
};

TEST(Toolkit, PeerHearsOnlyRealChangesAndRemovalsBeforeTheyHappen) {
  HeadlessPlatform platform;
  RecordingPeer peer;  // outlives the form, which says goodbye to it
  Form form{platform, "frmTest"};
  form.SetPeer(&peer);
  auto& img = form.Add<Image>("img");
  img.Move({10, 20, 30, 40});
  img.SetLeft(10);
  img.SetVisible(true);
  img.SetVisible(false);
  EXPECT_EQ(peer.Take(), (Events{{"img", Change::Added}, {"img", Change::Geometry}, {"img", Change::Visible}}));

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

// The skin is designed at 96 dpi: picture sizes in twips are the same at every resolution.
TEST(Toolkit, ImagesTakeThePictureSizeAtItsDesignResolution) {
  HeadlessPlatform platform(10.0f);
  Form form(platform, "frm");
  form.Move({0, 0, 8895, 6195});
  auto& img = form.Add<Image>("ibtndo");
  img.SetPicture(101);
  EXPECT_EQ(img.Width(), 960);
  // Pictures set before joining a form are measured on joining, unless sized by hand.
  auto& ctl = form.Add<Prebuilt>("chk");
  EXPECT_EQ(ctl.picture.Width(), 960);
  EXPECT_EQ(ctl.resized.Width(), 100);
  img.SetPicture(9999);  // missing: the size stays
  EXPECT_EQ(img.Width(), 960);
  form.SetPicture(106);  // a background does not size its form
  EXPECT_EQ(form.Width(), 8895);
}

TEST(Toolkit, ScrollBarValueIsClampedAndOnlyRealChangesAreReported) {
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
  bar.SetValue(8);
  bar.SetMax(5);  // the value follows the shrinking range
  EXPECT_EQ(bar.Value(), 5);
  EXPECT_EQ(changes, 4);
  bar.SetMin(20);  // a range that runs backwards still bounds the value
  bar.SetValue(30);
  EXPECT_EQ(bar.Value(), 20);
  bar.SetValue(1);
  EXPECT_EQ(bar.Value(), 5);
}

}  // namespace
}  // namespace orvane::ui

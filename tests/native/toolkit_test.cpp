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

#include <gtest/gtest.h>

#include "app/arrange_window.h"

namespace orvane {
namespace {

// The window's pictures measured at a resolution: pixel sizes of bitmaps
// 111, 105, 107 and 101 times the twips per pixel.
ArrangeInputs Measured(float twipsPerPixel, float w1, float w2) {
  ArrangeInputs in;
  in.itopttHeight = 26 * twipsPerPixel;
  in.ibottomHeight = 27 * twipsPerPixel;
  in.ibottomttWidth = 586 * twipsPerPixel;
  in.ibottomttHeight = 31 * twipsPerPixel;
  in.ibtndoWidth = 64 * twipsPerPixel;
  in.lblchkallWidth = w1;
  in.lblnochkWidth = w2;
  return in;
}

void ExpectPlacement(const Placement& p, float left, float top, float width, float height,
                     const char* what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(p.left, left);
  EXPECT_EQ(p.top, top);
  EXPECT_EQ(p.width, width);
  EXPECT_EQ(p.height, height);
}

TEST(ArrangeWindow, ReproducesTheTableAt96Dpi) {
  const float w1 = 360, w2 = 375;
  Arrangement a = ArrangeWindow(Measured(15, w1, w2));
  ExpectPlacement(a.pleft, 65, 1185, 0, 4140, "pleft");
  ExpectPlacement(a.vsroll, 6000, 1185, 0, 4140, "vsroll");
  ExpectPlacement(a.txtContent, 6315, 1185, 2520, 4140, "txtContent");
  ExpectPlacement(a.piclist, 0, 0, 5920, 5745, "piclist");
  EXPECT_EQ(a.ibottomtt.left, 45);
  EXPECT_EQ(a.ibottomtt.top, 5340);
  EXPECT_EQ(a.lblchkall.left, 240);
  EXPECT_EQ(a.lblchkall.top, 5500);
  EXPECT_EQ(a.lblnochk.left, 480 + w1);
  EXPECT_EQ(a.ibtndo.left, 7230);
  EXPECT_EQ(a.ibtndo.top, 5400);
  EXPECT_EQ(a.chklock.left, 780 + w1 + w2);
  EXPECT_EQ(a.chklock.top, 5460);
  EXPECT_EQ(a.chklockBackColor, 0x00F9F3E8u);
  EXPECT_EQ(a.ibottom.top, 5790);
  EXPECT_EQ(a.vsrollMin, 0);
  EXPECT_EQ(a.vsrollMax, 5);
}

TEST(ArrangeWindow, FollowsThePicturesAt144Dpi) {
  // 10 twips a pixel: the pictures shrink in twips, the design values stay.
  Arrangement a = ArrangeWindow(Measured(10, 200, 210));
  EXPECT_EQ(a.pleft.top, 780 + 260 + 15);
  EXPECT_EQ(a.ibottom.top, 6195 - 270);
  EXPECT_EQ(a.ibottomtt.top, 5925 - 310 + 15);
  EXPECT_EQ(a.pleft.height, 5630 - 1055 - 15);
  ExpectPlacement(a.vsroll, 6000, 1055, 0, 4560, "vsroll");
  ExpectPlacement(a.txtContent, 6315, 1055, 2520, 4560, "txtContent");
  EXPECT_EQ(a.lblchkall.top, 5790);
  EXPECT_EQ(a.lblnochk.left, 240 + 200 + 240);
  EXPECT_EQ(a.ibtndo.top, 5690);
  EXPECT_EQ(a.ibtndo.left, 5860 - 640 - 600);
  EXPECT_EQ(a.chklock.top, 5750);
  EXPECT_EQ(a.chklock.left, 680 + 210 + 300);
  // (5745 - 4560) / 300 = 3.95
  EXPECT_EQ(a.vsrollMax, 4);
}

TEST(ArrangeWindow, ScrollMaximumRoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEvenToInt16(0.5f), 0);
  EXPECT_EQ(RoundHalfEvenToInt16(-2.5f), -2);
  EXPECT_EQ(RoundHalfEvenToInt16(1e9f), 32767);
  EXPECT_EQ(RoundHalfEvenToInt16(-1e9f), -32768);

  // Through the layout itself: the panel 5745 high, the frame 4095 and 4395.
  ArrangeInputs in = Measured(15, 0, 0);
  in.windowHeight = 6195 - 45;  // frame 4095: 1650 / 300 = 5.5
  EXPECT_EQ(ArrangeWindow(in).vsrollMax, 6);
  in.windowHeight = 6195 + 255;  // frame 4395: 1350 / 300 = 4.5
  EXPECT_EQ(ArrangeWindow(in).vsrollMax, 4);

  // The panel's height comes from the first row's design height.
  in = Measured(15, 0, 0);
  in.row0Height = 500;
  EXPECT_EQ(ArrangeWindow(in).piclist.height, 560 * 13 + 90);
}

}  // namespace
}  // namespace orvane

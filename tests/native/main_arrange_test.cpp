#include <gtest/gtest.h>

#include "app/arrange_window.h"

namespace orvane {
namespace {

TEST(ArrangeWindow, ScrollMaximumRoundsHalvesToEvenAndClamps) {
  EXPECT_EQ(RoundHalfEvenToInt16(0.5f), 0);
  EXPECT_EQ(RoundHalfEvenToInt16(-2.5f), -2);
  EXPECT_EQ(RoundHalfEvenToInt16(1e9f), 32767);
  EXPECT_EQ(RoundHalfEvenToInt16(-1e9f), -32768);

  // Through the layout itself: the panel 5745 high, the frame 4095 and 4395.
  ArrangeInputs in;
  in.itopttHeight = 26 * 15;
  in.ibottomHeight = 27 * 15;
  in.ibottomttHeight = 31 * 15;
  in.windowHeight = 6195 - 45;  // frame 4095: 1650 / 300 = 5.5
  EXPECT_EQ(ArrangeWindow(in).vsrollMax, 6);
  in.windowHeight = 6195 + 255;  // frame 4395: 1350 / 300 = 4.5
  EXPECT_EQ(ArrangeWindow(in).vsrollMax, 4);
}

}  // namespace
}  // namespace orvane

#include <gtest/gtest.h>

#include "app/arrange_window.h"

namespace orvane {
namespace {

TEST(ArrangeWindow, ScrollMaximumRoundsHalvesToEvenAndClamps) {
  EXPECT_EQ(RoundHalfEvenToInt16(0.5f), 0);
  EXPECT_EQ(RoundHalfEvenToInt16(-2.5f), -2);
  EXPECT_EQ(RoundHalfEvenToInt16(1e9f), 32767);
  EXPECT_EQ(RoundHalfEvenToInt16(-1e9f), -32768);

  // Through the layout itself: the panel 6180 high, the frame 4230 and 3930.
  ArrangeInputs in;
  in.itopttHeight = 26 * 15;
  in.ibottomHeight = 27 * 15;
  in.ibottomttHeight = 31 * 15;
  in.windowHeight = 6195 + 90;  // frame 4230: 1950 / 300 = 6.5
  EXPECT_EQ(ArrangeWindow(in).vsrollMax, 6);
  in.windowHeight = 6195 - 210;  // frame 3930: 2250 / 300 = 7.5
  EXPECT_EQ(ArrangeWindow(in).vsrollMax, 8);
}

}  // namespace
}  // namespace orvane

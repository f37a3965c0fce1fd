// A dialog opens centred over its owner, but always inside the screen's work area.
#include "ui/toolkit/placement.h"

#include <gtest/gtest.h>

namespace orvane::ui {
namespace {

TEST(Placement, CentredOverTheOwnerAndMovedInsideTheWorkArea) {
  const PixelBox area{0, 0, 1024, 738};  // a task bar takes the bottom 30 pixels
  struct Case {
    const char* what;
    PixelBox owner;
    PixelBox placed;  // a 393 x 257 dialog
  } cases[] = {
      {"owner in the middle", {212, 150, 812, 550}, {315, 221, 708, 478}},
      {"owner off the left and top", {-500, -300, 100, 100}, {0, 0, 393, 257}},
      {"owner off the right and bottom", {900, 600, 1500, 1000}, {631, 481, 1024, 738}},
      {"owner on another monitor's area", {1100, 100, 1700, 500}, {631, 171, 1024, 428}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CentredInside(393, 257, c.owner, area), c.placed) << c.what;
  }
  // Larger than the area: its top left corner stays reachable.
  EXPECT_EQ(CentredInside(1200, 900, {0, 0, 1024, 768}, area), (PixelBox{0, 0, 1200, 900}));
  // A work area that does not start at zero (a second monitor on the left).
  EXPECT_EQ(CentredInside(100, 100, {-2000, 10, -1900, 110}, {-1280, 0, 0, 1024}),
            (PixelBox{-1280, 10, -1180, 110}));
}

}  // namespace
}  // namespace orvane::ui

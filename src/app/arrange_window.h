#pragma once
// Places the main window's widgets once at start-up, from the measured sizes
// of its pictures and labels.
#include <cstdint>

#include "ui/toolkit/basics.h"

namespace orvane {


// What the layout measures. Image sizes follow their pictures, so they change
// with the screen resolution; the rest are design values.
struct ArrangeInputs {
  ui::Twips windowHeight = 6195;
  ui::Twips itopttTop = 780;
  ui::Twips itopttHeight = 0;
  ui::Twips ibottomHeight = 0;
  ui::Twips ibottomttWidth = 0;
  ui::Twips ibottomttHeight = 0;
  ui::Twips ibtndoWidth = 0;
  ui::Twips pleftWidth = 6190;
  ui::Twips vsrollWidth = 255;
  ui::Twips row0Height = 375;  // the first list row before the rows are built
  ui::Twips lblchkallWidth = 0;
  ui::Twips lblnochkWidth = 0;
};

struct Placement {
  ui::Twips left = 0;
  ui::Twips top = 0;
  ui::Twips width = 0;
  ui::Twips height = 0;
};

// Every value the layout sets; fields not named by the layout stay zero.
struct Arrangement {
  Placement pleft;      // left, top, height
  Placement itoptt;     // left
  Placement ibottomtt;  // left, top
  Placement ibottom;    // top
  Placement vsroll;     // left, top, height
  Placement txtContent; // all four
  Placement piclist;    // all four, inside pleft
  Placement lblchkall;  // left, top
  Placement lblnochk;   // left, top
  Placement ibtndo;     // left, top
  Placement chklock;    // left, top
  ui::Color chklockBackColor = 0;
  std::int16_t vsrollMin = 0;
  std::int16_t vsrollMax = 0;
  std::int16_t vsrollSmallChange = 0;
};

Arrangement ArrangeWindow(const ArrangeInputs& in);

// Nearest whole number, an exact half to the even neighbour, held in 16 bits
// (out-of-range quotients stop at the type's limits).
std::int16_t RoundHalfEvenToInt16(float value);

}  // namespace orvane

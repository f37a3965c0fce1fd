#include "app/arrange_window.h"

#include <cmath>
#include <limits>

#include "repair/runner_view.h"

namespace orvane {

std::int16_t RoundHalfEvenToInt16(float value) {
  if (std::isnan(value)) return 0;
  double floor = std::floor(static_cast<double>(value));
  double fraction = static_cast<double>(value) - floor;
  double rounded = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
  constexpr double lo = std::numeric_limits<std::int16_t>::min();
  constexpr double hi = std::numeric_limits<std::int16_t>::max();
  if (rounded < lo) return std::numeric_limits<std::int16_t>::min();
  if (rounded > hi) return std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(rounded);
}

Arrangement ArrangeWindow(const ArrangeInputs& in) {
  constexpr ui::Twips kRows = kRepairItemCount;
  constexpr ui::Color kLockBackColor = 0x00F9F3E8u;
  Arrangement a;
  // Each step reads the values as earlier steps left them; every sum is
  // evaluated in single precision like the widgets' own properties.
  a.pleft.left = 65;
  a.pleft.top = in.itopttTop + in.itopttHeight + 15;
  a.itoptt.left = 60;
  a.ibottomtt.left = 45;
  a.ibottom.top = in.windowHeight - in.ibottomHeight;
  a.ibottomtt.top = a.ibottom.top - in.ibottomttHeight + 15;
  a.pleft.height = a.ibottomtt.top - a.pleft.top - 15;
  a.vsroll.left = a.pleft.left + in.pleftWidth - in.vsrollWidth;
  a.vsroll.top = a.pleft.top;
  a.vsroll.height = a.pleft.height;
  a.txtContent.top = a.pleft.top;
  a.txtContent.height = a.pleft.height;
  a.txtContent.left = a.pleft.left + in.pleftWidth + 60;
  a.txtContent.width = 2520;
  a.piclist.top = 0;
  a.piclist.left = 0;
  a.piclist.width = in.pleftWidth - in.vsrollWidth - 15;
  a.piclist.height = (in.row0Height + 60) * kRows + 90;
  a.lblchkall.top = a.ibottomtt.top + 160;
  a.lblnochk.top = a.lblchkall.top;
  a.lblchkall.left = 240;
  a.lblnochk.left = a.lblchkall.left + in.lblchkallWidth + 240;
  a.ibtndo.top = a.ibottomtt.top + 60;
  a.ibtndo.left = in.ibottomttWidth - in.ibtndoWidth - 600;
  a.chklockBackColor = kLockBackColor;
  a.chklock.top = a.ibtndo.top + 60;
  a.chklock.left = a.lblnochk.left + in.lblnochkWidth + 300;
  a.vsrollMin = 0;
  const float quotient = (a.piclist.height - a.pleft.height) / 300.0f;
  a.vsrollMax = RoundHalfEvenToInt16(quotient);
  a.vsrollSmallChange = 1;
  return a;
}

}  // namespace orvane

#include "app/item_list.h"

#include <algorithm>
#include <memory>

#include "resources/catalogue.h"

namespace orvane {
namespace {

constexpr ui::Twips kRowLeft = 120;
constexpr ui::Twips kFirstRowTop = 30;
constexpr ui::Twips kRowGap = 60;
constexpr ui::Twips kLabelGap = 150;      // after the end of the row's text
constexpr ui::Twips kFirstLabelDrop = 105;
constexpr ui::Twips kLabelAdvance = 255;  // added to the label's height per row
constexpr std::int32_t kScrollStep = 300;

// A new element of a control array starts with element 0's settings, hidden.
ui::CheckBox& NewCheckBox(ui::Panel& piclist, const ui::CheckBox& first, int index) {
  auto& box = piclist.Add<ui::CheckBox>(first.Name(), index);
  box.SetVisible(false);
  box.Move(first.Bounds());
  box.SetForeColor(first.ForeColor());
  box.SetBackColor(first.BackColor());
  box.SetChecked(first.Checked());
  box.ClearChanged();
  return box;
}

ui::Label& NewLabel(ui::Panel& piclist, const ui::Label& first, int index) {
  auto& label = piclist.Add<ui::Label>(first.Name(), index);
  label.SetVisible(false);
  label.SetAutoSize(first.AutoSize());
  label.SetFont(first.GetFont());
  label.SetBackStyle(first.Style());
  label.SetBackColor(first.BackColor());
  label.SetForeColor(first.ForeColor());
  label.SetCaption(first.Caption());
  label.Move(first.Bounds());
  return label;
}

}  // namespace

void BuildItemList(ui::Panel& piclist, ItemRows& rows) {
  ui::CheckBox& box0 = *rows.chkdo.at(0);
  ui::Label& label0 = *rows.lbldoinfo.at(0);
  box0.SetText(LoadString(kFirstItemText));
  box0.SetTop(kFirstRowTop);
  box0.SetLeft(kRowLeft);
  label0.SetLeft(box0.Width() + box0.Left() + kLabelGap);
  label0.SetTop(box0.Top() + kFirstLabelDrop);
  label0.SetVisible(false);

  for (int i = 1; i < kItemListRows; ++i) {
    ui::CheckBox& box = NewCheckBox(piclist, box0, i);
    rows.chkdo.push_back(&box);
    box.SetVisible(true);
    box.SetLeft(kRowLeft);
    box.SetHeight(box0.Height());
    box.SetTop(rows.chkdo[i - 1]->Top() + box.Height() + kRowGap);
    box.SetText(LoadString(static_cast<std::uint16_t>(kFirstItemText + i)));

    ui::Label& label = NewLabel(piclist, label0, i);
    rows.lbldoinfo.push_back(&label);
    label.SetVisible(false);
    label.SetHeight(label0.Height());
    label.SetLeft(box.Width() + box.Left() + kLabelGap);
    label.SetTop(rows.lbldoinfo[i - 1]->Top() + label.Height() + kLabelAdvance);
    box.accessible.describedBy = &label;
  }
}

void SelectAllRows(ItemRows& rows) {
  for (int i = 0; i < rows.Count(); ++i) rows.chkdo[i]->SetChecked(true);
}

void InvertRows(ItemRows& rows) {
  for (int i = 0; i < rows.Count(); ++i) rows.chkdo[i]->SetChecked(!rows.chkdo[i]->Checked());
}

ui::Twips ListScrollTop(std::int16_t value) {
  // Wider than the scroll bar's 16 bits, so no value can overflow.
  return static_cast<ui::Twips>(-(static_cast<std::int32_t>(value) * kScrollStep));
}

void WireItemList(ItemRows& rows, ui::Panel& piclist, ui::Label& lblchkall, ui::Label& lblnochk,
                  ui::ScrollBar& vsroll, AppServices& services) {
  auto hand = [&services](const ui::MouseEvent&) { services.platform.SetCursor(services.handCursor); };
  for (ui::Label* label : {&lblchkall, &lblnochk}) {
    label->onMouseMove = hand;
    label->onMouseDown = hand;
  }
  lblchkall.onClick = [&rows] { SelectAllRows(rows); };
  lblnochk.onClick = [&rows] { InvertRows(rows); };
  vsroll.onChange = [&piclist, &vsroll] { piclist.SetTop(ListScrollTop(vsroll.Value())); };
}

int RowOf(const ItemRows& rows, const ui::Widget* widget) {
  for (int i = 0; i < rows.Count(); ++i) {
    if (rows.chkdo[i] == widget) return i;
  }
  return -1;
}

std::int16_t ScrollValueShowing(const ItemRows& rows, int row, ui::Twips frameHeight, std::int16_t current) {
  const ui::CheckBox& box = *rows.chkdo.at(row);
  const auto top = static_cast<std::int32_t>(box.Top());
  const auto bottom = static_cast<std::int32_t>(box.Top() + box.Height());
  if (top < current * kScrollStep) return static_cast<std::int16_t>(std::max(top, 0) / kScrollStep);
  const auto overhang = bottom - static_cast<std::int32_t>(frameHeight) - current * kScrollStep;
  if (overhang <= 0) return current;
  return static_cast<std::int16_t>(current + (overhang + kScrollStep - 1) / kScrollStep);
}

void WireItemListWheel(ui::Panel& pleft, ui::ScrollBar& vsroll) {
  constexpr int kNotch = 120;
  auto wheel = [&vsroll, rest = std::make_shared<int>(0)](int delta) {
    *rest += delta;
    const int notches = *rest / kNotch;
    *rest -= notches * kNotch;
    const int to = std::clamp(vsroll.Value() - notches, static_cast<int>(vsroll.Min()), static_cast<int>(vsroll.Max()));
    vsroll.SetValue(static_cast<std::int16_t>(to));
    return true;
  };
  pleft.onMouseWheel = wheel;
  vsroll.onMouseWheel = wheel;
}

void WireItemListKeys(ui::Form& form, ItemRows& rows, ui::Panel& pleft, ui::ScrollBar& vsroll) {
  form.onKeyDown = [&form, &rows](const ui::KeyEvent& e) {
    const int row = RowOf(rows, form.Focused());
    if (row < 0) return false;
    int to = row;
    switch (e.key) {
      case ui::Key::Up: to = row - 1; break;
      case ui::Key::Down: to = row + 1; break;
      case ui::Key::Home: to = 0; break;
      case ui::Key::End: to = rows.Count() - 1; break;
      default: return false;
    }
    if (to >= 0 && to < rows.Count()) form.FocusByKeyboard(rows.chkdo[to]);
    return true;
  };
  form.onKeyboardFocus = [&rows, &pleft, &vsroll](ui::Widget& widget) {
    const int row = RowOf(rows, &widget);
    if (row >= 0) vsroll.SetValue(ScrollValueShowing(rows, row, pleft.Height(), vsroll.Value()));
  };
}

}  // namespace orvane

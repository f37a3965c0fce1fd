#pragma once
// The scrolling list of repair items on the main window: one check box and
// one result label per item.
#include <cstdint>
#include <vector>

#include "repair/runner_view.h"
#include "settings/app_services.h"
#include "ui/controls/check_box.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/widgets.h"

namespace orvane {

constexpr int kItemListRows = kRepairItemCount;
constexpr std::uint16_t kFirstItemText = 101;  // row i shows string 101 + i

// The two control arrays; element 0 of each comes from the window's design.
struct ItemRows {
  std::vector<ui::CheckBox*> chkdo;
  std::vector<ui::Label*> lbldoinfo;
  int Count() const { return static_cast<int>(chkdo.size()); }
};

// Texts row 0 and creates the other rows on `piclist`, each copying the
// settings of element 0; every row unticked, every result label hidden.
void BuildItemList(ui::Panel& piclist, ItemRows& rows);

void SelectAllRows(ItemRows& rows);
void InvertRows(ItemRows& rows);

// The panel's top for a scroll position: 300 twips a step, upwards.
ui::Twips ListScrollTop(std::int16_t value);

// Select all and invert on their labels (with the hand cursor), and the
// panel following the scroll bar's value changes.
void WireItemList(ItemRows& rows, ui::Panel& piclist, ui::Label& lblchkall, ui::Label& lblnochk,
                  ui::ScrollBar& vsroll, AppServices& services);

// The row whose check box is `widget`, or -1.
int RowOf(const ItemRows& rows, const ui::Widget* widget);
// The scroll position nearest the current one that shows the whole row in the frame.
std::int16_t ScrollValueShowing(const ItemRows& rows, int row, ui::Twips frameHeight, std::int16_t current);

// The wheel over the list frame or the scroll bar moves the list one step a
// notch (120); a part of a notch is kept for the next turn.
void WireItemListWheel(ui::Panel& pleft, ui::ScrollBar& vsroll);

// Keyboard in the list: Up, Down, Home and End move between the rows, and a
// row reached by the keyboard is scrolled into view.
void WireItemListKeys(ui::Form& form, ItemRows& rows, ui::Panel& pleft, ui::ScrollBar& vsroll);

}  // namespace orvane

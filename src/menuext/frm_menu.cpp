#include "menuext/frm_menu.h"

#include "menuext/menu_ext.h"

namespace orvane {

namespace {
constexpr std::uint16_t kTitleString = 605;
constexpr std::uint16_t kInfoString = 606;
}  // namespace

frmMenu::frmMenu(AppServices& services)
    : ListManagerForm(services, "frmMenu", "lstmenu", kTitleString, kInfoString), lstmenu(list) {}

void frmMenu::Fill() { ListMenuExtEntries(services_.registry, lstmenu); }

void frmMenu::CleanTicked() {
  // Deleting leaves the list as it is, so every index stays valid.
  const int count = lstmenu.ListCount();
  for (int i = 0; i < count; ++i) {
    if (lstmenu.Selected(i)) DeleteMenuExtEntry(services_.registry, lstmenu.List(i));
  }
}

}  // namespace orvane

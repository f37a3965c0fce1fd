#include "menuext/frm_menu.h"

#include "menuext/menu_ext.h"
#include "menuext/menu_ext_entries.h"

namespace orvane {

namespace {
constexpr std::uint16_t kTitleString = 605;
constexpr std::uint16_t kInfoString = 606;
}  // namespace

frmMenu::frmMenu(AppServices& services)
    : ListManagerForm(services, "frmMenu", "lstmenu", kTitleString, kInfoString), lstmenu(list) {}

void frmMenu::Fill() { ListMenuExtEntries(services_.registry, lstmenu); }

void frmMenu::CleanTicked() {
  std::vector<MenuExtEntry> entries;
  for (int i = 0; i < lstmenu.ListCount(); ++i) {
    if (lstmenu.Selected(i)) entries.push_back({lstmenu.List(i), ""});
  }
  DeleteMenuExtEntries(services_.registry, services_.files, services_.version, services_.config, entries);
}

}  // namespace orvane

#pragma once
// The context-menu manager: lists the browser's context-menu extensions and
// deletes the ticked ones.
#include "menuext/list_frm.h"

namespace orvane {

class frmMenu : public ListManagerForm {
 public:
  explicit frmMenu(AppServices& services);

  ui::ListBox& lstmenu;

 private:
  void Fill() override;
  void CleanTicked() override;
};

}  // namespace orvane

#pragma once
// The context-menu manager: lists the browser's context-menu extensions and
// deletes the ticked ones.
#include "settings/app_services.h"
#include "ui/toolkit/form.h"

namespace orvane {

class frmMenu : public ui::Form {
 public:
  explicit frmMenu(AppServices& services);

  ui::Label& lbltitle;
  ui::Image& iclose;
  ui::Label& lblinfo;
  ui::ListBox& lstmenu;
  ui::Image& imgclear;

 private:
  void OnLoad();
  void OnClear();
  void HandPointer();

  AppServices& services_;
};

}  // namespace orvane

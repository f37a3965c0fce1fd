#pragma once
// The start window: skin, list of repair items, the repair button and the
// lock timer. It stays open for the whole run.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/item_list.h"
#include "browsers/scan.h"
#include "repair/runner.h"
#include "settings/app_services.h"
#include "ui/controls/check_box.h"
#include "ui/toolkit/form.h"

namespace orvane {

// The maker's web site: opened by the link, and the end of string 2004.
inline constexpr char kMakerSite[] = "http://www.example.com";

class frmMain : public ui::Form {
 public:
  explicit frmMain(AppServices& services);
  ~frmMain() override;

  // In creation order, which is also the stacking order (later lies above).
  ui::Image& ititle;
  ui::Image& imin;
  ui::Image& iclose;
  ui::Image& itoptt;
  ui::Panel& pleft;
  ui::Panel& piclist;  // inside pleft; carries the rows
  ui::ScrollBar& vsroll;
  ui::TextBox& txtContent;
  ui::Image& ibottom;
  ui::Image& ibottomtt;
  ui::Label& lblchkall;
  ui::Label& lblnochk;
  ui::CheckBox& chklock;
  ui::Image& ibtndo;
  ui::Label& lblversion;
  ui::Label& Label1;
  ui::Label& Label2;
  ui::Timer& Timer1;
  ItemRows rows;  // chkdo and lbldoinfo

  RepairRunner& Runner() { return *runner_; }

  // Start-up steps, public so each can be checked on its own.
  void ApplySkin();
  void ArrangeWindow();

 private:
  class RowsView;

  void OnLoad();
  void WriteVersionLabel();
  void WireMouse();
  void WireKeyboard();
  void HandCursor();
  void DragWhenLeftButton(const ui::MouseEvent& e);
  void OpenSettings();
  void OpenMakerSite();
  void ShowMenuManager();
  std::vector<PolicyLine> ShowBrowserManager();
  void WireCheckMenu(ui::Widget& widget);
  ui::Rect CheckMenuPlace() const;
  void ShowCheckMenu(std::optional<ui::Rect> at);
  void OpenLogFolder();

  AppServices& services_;
  std::unique_ptr<RowsView> view_;
  std::unique_ptr<RepairRunner> runner_;
  std::optional<BrowserServices> browsers_;  // when the services hold files and shortcuts
};

// "V" major "." minor ".0." revision.
std::string VersionCaption(int major, int minor, int revision);

}  // namespace orvane

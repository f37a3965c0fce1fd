#pragma once
// The settings dialog: the browser start page and search page.
#include <string>
#include <string_view>

#include "settings/app_services.h"
#include "ui/toolkit/form.h"

namespace orvane {

// The tidying the dialog's OK applies: control characters (below 0x20)
// removed everywhere, spaces trimmed at both ends, and
// "http://" put in front of an address without a web scheme. An entry that
// is empty after trimming stays empty so the repairs use their fallbacks.
std::string TidyEntry(std::string_view text);
// The longest address a text box takes: what the browser, the registry and
// Config.ini all keep whole.
constexpr int kAddressLimit = 2083;
std::string TidyStartPage(std::string_view entry);   // keeps "about:blank"
std::string TidySearchPage(std::string_view entry);  // the same

class setFrm : public ui::Form {
 public:
  explicit setFrm(AppServices& services);

  ui::Label& lbltitle;
  ui::Label& lblhp;
  ui::Label& lblsearch;
  ui::TextBox& txthomepage;
  ui::TextBox& txtsearch;
  ui::Image& imgok;
  ui::Image& iclose;

 private:
  void OnLoad();
  void OnOk();
  void HandPointer();
  void OnFaceMouseMove(const ui::MouseEvent& e);

  AppServices& services_;
};

}  // namespace orvane

#pragma once
// The frame the list managers share: a title, a line of help, a list with
// check boxes, clean and close. What the list holds and what clean does is
// the subclass's.
#include <cstdint>
#include <string>

#include "settings/app_services.h"
#include "ui/toolkit/form.h"

namespace orvane {

class ListManagerForm : public ui::Form {
 public:
  ListManagerForm(AppServices& services, const std::string& formName, const std::string& listName,
                  std::uint16_t titleString, std::uint16_t infoString);

  ui::Label& lbltitle;
  ui::Image& iclose;
  ui::Label& lblinfo;
  ui::ListBox& list;
  ui::Image& imgclear;

 protected:
  // Fills the list afresh.
  virtual void Fill() = 0;
  // Removes what the ticked lines name; the list is filled again after it.
  virtual void CleanTicked() = 0;

  AppServices& services_;

 private:
  void OnLoad();
  void OnClear();
  void HandPointer();

  std::uint16_t titleString_;
  std::uint16_t infoString_;
};

}  // namespace orvane

#include "menuext/frm_menu.h"

#include "menuext/menu_ext.h"
#include "menuext/menu_ext_entries.h"
#include "resources/catalogue.h"

namespace orvane {

namespace {

constexpr std::uint16_t kFacePicture = 201;
constexpr std::uint16_t kClosePicture = 202;
constexpr std::uint16_t kClearPicture = 204;
constexpr std::uint16_t kTitleString = 605;
constexpr std::uint16_t kInfoString = 606;
constexpr std::uint16_t kProgramNameString = 999;
constexpr std::uint16_t kNothingTickedString = 1003;
constexpr std::uint16_t kClearName = 3302;

ui::Font ChineseFont(bool bold) {
  ui::Font font;
  font.name = "宋体";
  font.sizePt = 10.5f;
  font.bold = bold;
  font.charset = 134;
  return font;
}

}  // namespace

frmMenu::frmMenu(AppServices& services)
    : ui::Form(services.platform, "frmMenu"),
      lbltitle(Add<ui::Label>("lbltitle")),
      iclose(Add<ui::Image>("iclose")),
      lblinfo(Add<ui::Label>("lblinfo")),
      lstmenu(Add<ui::ListBox>("lstmenu")),
      imgclear(Add<ui::Image>("imgclear")),
      services_(services) {
  Move({0, 0, 5895, 3855});
  SetPosition(ui::StartPosition::CenterOwner);

  for (ui::Label* label : {&lbltitle, &lblinfo}) {
    label->SetAutoSize(true);
    label->SetBackStyle(ui::BackStyle::Transparent);
    label->SetForeColor(ui::kWhite);
  }
  lbltitle.SetFont(ChineseFont(true));
  lbltitle.SetLeft(240);
  lbltitle.SetTop(120);
  lblinfo.SetLeft(200);
  lblinfo.SetTop(680);

  iclose.SetLeft(5500);
  iclose.SetTop(60);
  iclose.SetToolTip("关闭");

  lstmenu.Move({120, 960, 5655, 1950});
  lstmenu.SetFont(ChineseFont(false));

  imgclear.SetLeft(4560);
  imgclear.SetTop(3240);

  // Tab order: the list, clean, close.
  lstmenu.SetTabIndex(1);
  lstmenu.accessible.labelledBy = &lblinfo;
  int tab = 2;
  for (ui::Image* button : {&imgclear, &iclose}) {
    button->SetTabStop(true);
    button->SetTabIndex(tab++);
    button->accessible.role = ui::AccRole::PushButton;
  }
  imgclear.accessible.nameString = kClearName;
  for (ui::Label* label : {&lbltitle, &lblinfo}) label->accessible.role = ui::AccRole::StaticText;
  SetCancelButton(&iclose);
  SetCloseButton(&iclose);

  onLoad = [this] { OnLoad(); };
  imgclear.onClick = [this] { OnClear(); };
  iclose.onClick = [this] { Close(); };
  for (ui::Image* button : {&iclose, &imgclear}) {
    button->onMouseMove = [this](const ui::MouseEvent&) { HandPointer(); };
    button->onMouseDown = [this](const ui::MouseEvent&) { HandPointer(); };
  }
}

void frmMenu::OnLoad() {
  SetPicture(kFacePicture);
  iclose.SetPicture(kClosePicture);
  imgclear.SetPicture(kClearPicture);
  lbltitle.SetCaption(LoadString(kTitleString));
  SetCaption(lbltitle.Caption());  // no title bar; names the window to the system
  lblinfo.SetCaption(LoadString(kInfoString));
  ListMenuExtEntries(services_.registry, lstmenu);
}

void frmMenu::OnClear() {
  if (lstmenu.SelCount() < 1) {
    services_.platform.MessageBox(LoadString(kNothingTickedString), LoadString(kProgramNameString),
                                  ui::MessageBoxIcon::None);
    return;
  }
  // Deleting leaves the list as it is, so every index stays valid.
  std::vector<MenuExtEntry> entries;
  for (int i = 0; i < lstmenu.ListCount(); ++i) {
    if (lstmenu.Selected(i)) entries.push_back({lstmenu.List(i), ""});
  }
  DeleteMenuExtEntries(services_.registry, services_.files, services_.version, services_.config, entries);
  ListMenuExtEntries(services_.registry, lstmenu);
}

void frmMenu::HandPointer() { services_.platform.SetCursor(services_.handCursor); }

}  // namespace orvane

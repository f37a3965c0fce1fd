#include "menuext/list_frm.h"

#include "resources/catalogue.h"

namespace orvane {

namespace {

constexpr std::uint16_t kFacePicture = 201;
constexpr std::uint16_t kClosePicture = 202;
constexpr std::uint16_t kClearPicture = 204;
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

ListManagerForm::ListManagerForm(AppServices& services, const std::string& formName, const std::string& listName,
                                 std::uint16_t titleString, std::uint16_t infoString)
    : ui::Form(services.platform, formName),
      lbltitle(Add<ui::Label>("lbltitle")),
      iclose(Add<ui::Image>("iclose")),
      lblinfo(Add<ui::Label>("lblinfo")),
      list(Add<ui::ListBox>(listName)),
      imgclear(Add<ui::Image>("imgclear")),
      services_(services),
      titleString_(titleString),
      infoString_(infoString) {
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

  list.Move({120, 960, 5655, 1950});
  list.SetFont(ChineseFont(false));

  imgclear.SetLeft(4560);
  imgclear.SetTop(3240);

  // Tab order: the list, clean, close.
  list.SetTabIndex(1);
  list.accessible.labelledBy = &lblinfo;
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

void ListManagerForm::OnLoad() {
  SetPicture(kFacePicture);
  iclose.SetPicture(kClosePicture);
  imgclear.SetPicture(kClearPicture);
  lbltitle.SetCaption(LoadString(titleString_));
  SetCaption(lbltitle.Caption());  // no title bar; names the window to the system
  lblinfo.SetCaption(LoadString(infoString_));
  Fill();
}

void ListManagerForm::OnClear() {
  if (list.SelCount() < 1) {
    services_.platform.MessageBox(LoadString(kNothingTickedString), LoadString(kProgramNameString),
                                  ui::MessageBoxIcon::None);
    return;
  }
  CleanTicked();
  Fill();
}

void ListManagerForm::HandPointer() { services_.platform.SetCursor(services_.handCursor); }

}  // namespace orvane

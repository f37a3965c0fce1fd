#include "app/frm_main.h"

#include <algorithm>
#include <string>

#include "app/arrange_window.h"
#include "browsers/frm_browsers.h"
#include "menuext/frm_menu.h"
#include "resources/catalogue.h"
#include "settings/set_frm.h"

namespace orvane {
namespace {

// Pictures.
constexpr std::uint16_t kRepairButton = 101;
constexpr std::uint16_t kRepairButtonHighlighted = 102;
constexpr std::uint16_t kClosePicture = 104;
constexpr std::uint16_t kBottomBar = 105;
constexpr std::uint16_t kBackground = 106;
constexpr std::uint16_t kToolBar = 107;
constexpr std::uint16_t kTitlePicture = 109;
constexpr std::uint16_t kListBar = 111;
constexpr std::uint16_t kSettingsPicture = 205;
constexpr std::uint16_t kProgramIcon = 1;

// Strings.
constexpr std::uint16_t kSelectAllText = 600;
constexpr std::uint16_t kInvertText = 601;
constexpr std::uint16_t kSettingsToolTip = 602;
constexpr std::uint16_t kLockText = 607;
constexpr std::uint16_t kProgramName = 999;
constexpr std::uint16_t kAboutWhat = 2001;
constexpr std::uint16_t kAboutProgram = 2002;
constexpr std::uint16_t kAboutSibling = 2003;
constexpr std::uint16_t kAboutMore = 2004;
constexpr std::uint16_t kCheckAllText = 3100;
constexpr std::uint16_t kUndoText = 3101;
constexpr std::uint16_t kLogFolderText = 3102;
constexpr int kShowNormal = 1;
constexpr std::uint16_t kRepairButtonName = 3300;
constexpr std::uint16_t kAboutName = 3307;

constexpr ui::Twips kPressedShift = 8;
constexpr ui::Color kLinkBlue = 0x00FF0000u;
constexpr ui::Color kResultGreenDesign = 0x0000FF00u;
constexpr ui::Color kWindowText = 0x80000008u;

ui::Font SongTi(float sizePt) {
  ui::Font font;
  font.name = "宋体";
  font.sizePt = sizePt;
  font.charset = 134;
  return font;
}

void MakeCaptionLabel(ui::Label& label, ui::Twips left, ui::Twips top) {
  label.SetBackStyle(ui::BackStyle::Transparent);
  label.SetAutoSize(true);
  label.SetLeft(left);
  label.SetTop(top);
}

}  // namespace

std::string VersionCaption(int major, int minor, int revision) {
  return "V" + std::to_string(major) + "." + std::to_string(minor) + ".0." +
         std::to_string(revision);
}

// The rows, the button, the lock option and the timer as the runner sees them.
class frmMain::RowsView : public RunnerView {
 public:
  explicit RowsView(frmMain& form) : form_(form) {}

  bool RowTicked(int row) override { return form_.rows.chkdo.at(row)->Checked(); }
  void SetResultColor(int row, std::uint32_t color) override {
    form_.rows.lbldoinfo.at(row)->SetForeColor(color);
  }
  void SetResultCaption(int row, const std::string& caption) override {
    form_.rows.lbldoinfo.at(row)->SetCaption(caption);
  }
  void ShowResult(int row) override { form_.rows.lbldoinfo.at(row)->SetVisible(true); }
  void SetResultToolTip(int row, const std::string& text) override {
    form_.rows.lbldoinfo.at(row)->SetToolTip(text);
  }
  void SetRepairButtonEnabled(bool enabled) override { form_.ibtndo.SetEnabled(enabled); }
  bool LockTicked() override { return form_.chklock.Checked(); }
  void SetTimerEnabled(bool enabled) override { form_.Timer1.SetTimerEnabled(enabled); }
  std::function<void(std::uint32_t)> KeyChangePoster() override {
    if (!poster_) poster_ = form_.Platform().MakePoster([this](std::uint32_t id) { form_.runner_->OnKeyChanged(id); });
    return poster_;
  }
  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageIcon icon) override {
    form_.Platform().MessageBox(text, caption,
                                icon == MessageIcon::Information ? ui::MessageBoxIcon::Information
                                                                 : ui::MessageBoxIcon::None);
  }
  void ShowMenuManager() override { form_.ShowMenuManager(); }
  std::vector<PolicyLine> ShowBrowserManager() override { return form_.ShowBrowserManager(); }
  void ProcessPendingEvents() override { form_.Platform().DoEvents(); }
  void RepaintPending() override { form_.Platform().DoPaintEvents(); }

 private:
  frmMain& form_;
  std::function<void(std::uint32_t)> poster_;
};

frmMain::frmMain(AppServices& services)
    : ui::Form(services.platform, "frmMain"),
      ititle(Add<ui::Image>("ititle")),
      imin(Add<ui::Image>("imin")),
      iclose(Add<ui::Image>("iclose")),
      itoptt(Add<ui::Image>("itoptt")),
      pleft(Add<ui::Panel>("pleft")),
      piclist(pleft.Add<ui::Panel>("piclist")),
      vsroll(Add<ui::ScrollBar>("vsroll")),
      txtContent(Add<ui::TextBox>("txtContent")),
      ibottom(Add<ui::Image>("ibottom")),
      ibottomtt(Add<ui::Image>("ibottomtt")),
      lblchkall(Add<ui::Label>("lblchkall")),
      lblnochk(Add<ui::Label>("lblnochk")),
      chklock(Add<ui::CheckBox>("chklock")),
      ibtndo(Add<ui::Image>("ibtndo")),
      lblversion(Add<ui::Label>("lblversion")),
      Label1(Add<ui::Label>("Label1")),
      Label2(Add<ui::Label>("Label2")),
      Timer1(Add<ui::Timer>("Timer1")),
      services_(services) {
  // The design.
  Move({0, 0, 8895, 6195});
  SetIcon(kProgramIcon);
  SetPosition(ui::StartPosition::CenterScreen);

  ititle.Move({0, 0, 0, 0});
  imin.Move({8160, 105, 0, 0});
  iclose.Move({8505, 105, 0, 0});
  iclose.SetToolTip("关闭");
  itoptt.SetTop(780);

  pleft.SetBackColor(ui::kWhite);
  pleft.SetWidth(6190);
  piclist.SetBackColor(ui::kWhite);
  vsroll.SetWidth(255);

  txtContent.SetMultiLine(true);
  txtContent.SetLocked(true);
  txtContent.SetVerticalScrollBar(true);

  ibottom.SetLeft(0);
  MakeCaptionLabel(lblchkall, 0, 0);
  MakeCaptionLabel(lblnochk, 0, 0);
  chklock.SetHeight(255);
  chklock.SetForeColor(kWindowText);
  chklock.SetBackColor(ui::kWhite);
  chklock.ClearChanged();

  ui::Font calibri;
  calibri.name = "Calibri";
  calibri.sizePt = 12;
  calibri.italic = true;
  calibri.charset = 0;
  MakeCaptionLabel(lblversion, 120, 5840);
  lblversion.SetForeColor(ui::kWhite);
  lblversion.SetFont(calibri);
  MakeCaptionLabel(Label1, 5280, 5880);
  Label1.SetForeColor(ui::kWhite);
  Label1.SetFont(SongTi(10.5f));
  Label1.SetCaption("更多免费软件，请访问");
  Label2.SetBackStyle(ui::BackStyle::Transparent);
  Label2.Move({7440, 5880, 1335, 255});
  Label2.SetForeColor(kLinkBlue);
  Label2.SetFont(SongTi(10.5f));
  Label2.SetCaption("Kestrin");

  Timer1.SetInterval(100);
  Timer1.SetTimerEnabled(false);

  // Row 0 of the list, from the design; the rest are built at load.
  auto& box0 = piclist.Add<ui::CheckBox>("chkdo", 0);
  box0.SetHeight(375);
  box0.SetForeColor(ui::kBlack);
  box0.SetBackColor(ui::kWhite);
  box0.SetChecked(false);
  box0.ClearChanged();
  auto& label0 = piclist.Add<ui::Label>("lbldoinfo", 0);
  label0.SetAutoSize(true);
  label0.SetForeColor(kResultGreenDesign);
  label0.SetBackStyle(ui::BackStyle::Opaque);
  label0.SetBackColor(ui::kWhite);
  label0.SetCaption("修复成功");
  // One line of the default font at its design size; a substitute font that
  // measures taller must not push the labels off their rows.
  label0.SetHeight(180);
  box0.accessible.describedBy = &label0;
  rows.chkdo.push_back(&box0);
  rows.lbldoinfo.push_back(&label0);

  view_ = std::make_unique<RowsView>(*this);
  runner_ = std::make_unique<RepairRunner>(*view_, services.registry, services.commands,
                                           services.config);
  runner_->AlsoUserClasses(services.interactiveSid);
  if (services.files) {
    const ProgramVersion v = LoadProgramVersion();
    services.version = std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) +
                       "." + std::to_string(v.revision);
    runner_->KeepJournal(*services.files, services.version);
  }
  if (services.files && services.shortcuts) {
    browsers_.emplace(BrowserServices{services.registry, *services.files, *services.shortcuts});
    runner_->CheckBrowsersWith(*browsers_);
  }

  onLoad = [this] { OnLoad(); };
  ibtndo.onClick = [this] { runner_->OnRepairButtonClick(); };
  Timer1.onTimer = [this] { runner_->OnTimerTick(); };
  WireItemList(rows, piclist, lblchkall, lblnochk, vsroll, services_);
  WireItemListWheel(pleft, vsroll);
  WireMouse();
  WireKeyboard();
}

frmMain::~frmMain() = default;

void frmMain::OnLoad() {
  services_.handCursor = Platform().LoadHandCursor();
  if (services_.readConfig) services_.readConfig(services_.config);
  ApplySkin();
  ArrangeWindow();
  BuildItemList(piclist, rows);
  WriteVersionLabel();
  WireCheckMenu(pleft);
  onKeyDown = [this, before = onKeyDown](const ui::KeyEvent& e) {
    if (e.key != ui::Key::F5 && e.key != ui::Key::Menu) return before && before(e);
    ShowCheckMenu(CheckMenuPlace());
    return true;
  };
}

// A right-click anywhere on the item list opens the check menu.
void frmMain::WireCheckMenu(ui::Widget& widget) {
  widget.onMouseUp = [this, before = widget.onMouseUp](const ui::MouseEvent& e) {
    if (before) before(e);
    if (e.buttons == ui::kRightButton) ShowCheckMenu(std::nullopt);
  };
  if (widget.Kind() != ui::WidgetKind::Panel && widget.Kind() != ui::WidgetKind::UserControl) return;
  for (const auto& child : static_cast<ui::Container&>(widget).Children()) WireCheckMenu(*child);
}

// From the keyboard: at the focused row, the part of it the frame shows, or at
// the top of the list when no row has the focus.
ui::Rect frmMain::CheckMenuPlace() const {
  const ui::Rect frame = pleft.FormBounds();
  const int row = RowOf(rows, Focused());
  if (row < 0) return {frame.left, frame.top, frame.width, 0};
  ui::Rect place = rows.chkdo[row]->FormBounds();
  const ui::Twips bottom = std::clamp(place.top + place.height, frame.top, frame.top + frame.height);
  place.top = std::clamp(place.top, frame.top, bottom);
  place.height = bottom - place.top;
  return place;
}

void frmMain::ShowCheckMenu(std::optional<ui::Rect> at) {
  switch (Platform().PopupMenu(*this, {LoadString(kCheckAllText), LoadString(kUndoText), LoadString(kLogFolderText)},
                               at)) {
    case 0: runner_->CheckAllItems(); break;
    case 1: runner_->UndoLastRepair(); break;
    case 2: OpenLogFolder(); break;
    default: break;
  }
}

void frmMain::OpenLogFolder() {
  if (!services_.files) return;
  std::string folder;
  if (auto newest = NewestBackup(*services_.files)) {
    folder = newest->substr(0, newest->rfind('\\'));
  } else {
    folder = ChooseBackupFolder(*services_.files).folder;
  }
  if (!folder.empty()) services_.commands.Start("explorer.exe \"" + folder + "\"", kShowNormal);
}

void frmMain::ApplySkin() {
  SetPicture(kBackground);
  ititle.SetPicture(kTitlePicture);
  imin.SetPicture(kSettingsPicture);
  iclose.SetPicture(kClosePicture);
  ibottom.SetPicture(kBottomBar);
  itoptt.SetPicture(kListBar);
  ibottomtt.SetPicture(kToolBar);
  ibtndo.SetPicture(kRepairButton);
  lblchkall.SetCaption(LoadString(kSelectAllText));
  lblnochk.SetCaption(LoadString(kInvertText));
  imin.SetToolTip(LoadString(kSettingsToolTip));
  chklock.SetText(LoadString(kLockText));
  SetCaption(LoadString(kProgramName));
  // Each piece appends to what the box holds; 2001 and 2002 end in a CR of
  // their own, which stays.
  txtContent.SetText(txtContent.Text() + "\r\n" + LoadString(kAboutWhat));
  txtContent.SetText(txtContent.Text() + "\r\n" + LoadString(kAboutProgram));
  txtContent.SetText(txtContent.Text() + "\r\n\r\n\r\n" + LoadString(kAboutSibling));
  txtContent.SetText(txtContent.Text() + "\r\n\r\n\r\n" + LoadString(kAboutMore));
}

void frmMain::ArrangeWindow() {
  ArrangeInputs in;
  in.windowHeight = Height();
  in.itopttTop = itoptt.Top();
  in.itopttHeight = itoptt.Height();
  in.ibottomHeight = ibottom.Height();
  in.ibottomttWidth = ibottomtt.Width();
  in.ibottomttHeight = ibottomtt.Height();
  in.ibtndoWidth = ibtndo.Width();
  in.pleftWidth = pleft.Width();
  in.vsrollWidth = vsroll.Width();
  in.row0Height = rows.chkdo.at(0)->Height();
  in.lblchkallWidth = lblchkall.Width();
  in.lblnochkWidth = lblnochk.Width();
  const Arrangement a = orvane::ArrangeWindow(in);

  pleft.SetLeft(a.pleft.left);
  pleft.SetTop(a.pleft.top);
  itoptt.SetLeft(a.itoptt.left);
  ibottomtt.SetLeft(a.ibottomtt.left);
  ibottom.SetTop(a.ibottom.top);
  ibottomtt.SetTop(a.ibottomtt.top);
  pleft.SetHeight(a.pleft.height);
  vsroll.SetLeft(a.vsroll.left);
  vsroll.SetTop(a.vsroll.top);
  vsroll.SetHeight(a.vsroll.height);
  txtContent.SetTop(a.txtContent.top);
  txtContent.SetHeight(a.txtContent.height);
  txtContent.SetLeft(a.txtContent.left);
  txtContent.SetWidth(a.txtContent.width);
  piclist.SetTop(a.piclist.top);
  piclist.SetLeft(a.piclist.left);
  piclist.SetWidth(a.piclist.width);
  piclist.SetHeight(a.piclist.height);
  lblchkall.SetTop(a.lblchkall.top);
  lblnochk.SetTop(a.lblnochk.top);
  lblchkall.SetLeft(a.lblchkall.left);
  lblnochk.SetLeft(a.lblnochk.left);
  ibtndo.SetTop(a.ibtndo.top);
  ibtndo.SetLeft(a.ibtndo.left);
  chklock.SetBackColor(a.chklockBackColor);
  chklock.SetTop(a.chklock.top);
  chklock.SetLeft(a.chklock.left);
  vsroll.SetMin(a.vsrollMin);
  vsroll.SetMax(a.vsrollMax);
  vsroll.SetSmallChange(a.vsrollSmallChange);
}

void frmMain::WriteVersionLabel() {
  const ProgramVersion v = LoadProgramVersion();
  lblversion.SetCaption(VersionCaption(v.major, v.minor, v.revision));
}

void frmMain::HandCursor() { Platform().SetCursor(services_.handCursor); }

void frmMain::DragWhenLeftButton(const ui::MouseEvent& e) {
  if (e.buttons == ui::kLeftButton) Platform().DragWindow(*this);
}

void frmMain::WireMouse() {
  onMouseMove = [this](const ui::MouseEvent& e) {
    SetPointer(ui::MousePointer::Default);
    DragWhenLeftButton(e);
  };
  ititle.onMouseMove = [this](const ui::MouseEvent& e) {
    ititle.SetPointer(ui::MousePointer::Default);
    DragWhenLeftButton(e);
  };
  ibottom.onMouseMove = [this](const ui::MouseEvent& e) {
    ibottom.SetPointer(ui::MousePointer::Default);
    Label2.SetUnderline(false);
    DragWhenLeftButton(e);
  };
  ibottomtt.onMouseMove = [this](const ui::MouseEvent&) {
    ibottomtt.SetPointer(ui::MousePointer::Default);
    ibtndo.SetPicture(kRepairButton);
  };
  ibtndo.onMouseMove = [this](const ui::MouseEvent&) {
    HandCursor();
    ibtndo.SetPicture(kRepairButtonHighlighted);
  };
  ibtndo.onMouseDown = [this](const ui::MouseEvent&) { HandCursor(); };
  imin.onMouseMove = [this](const ui::MouseEvent&) { HandCursor(); };
  iclose.onMouseMove = [this](const ui::MouseEvent&) { HandCursor(); };
  iclose.onMouseDown = [this](const ui::MouseEvent& e) {
    HandCursor();
    if (e.buttons == ui::kLeftButton) {
      iclose.SetTop(iclose.Top() + kPressedShift);
      iclose.SetLeft(iclose.Left() + kPressedShift);
    }
  };
  iclose.onMouseUp = [this](const ui::MouseEvent& e) {
    if (e.buttons != ui::kLeftButton) return;
    iclose.SetTop(iclose.Top() - kPressedShift);
    iclose.SetLeft(iclose.Left() - kPressedShift);
    Platform().EndProgram();
  };
  Label2.onMouseMove = [this](const ui::MouseEvent&) {
    HandCursor();
    Label2.SetUnderline(true);
  };
  imin.onClick = [this] { OpenSettings(); };
  Label2.onClick = [this] { OpenMakerSite(); };
}

// After the rows (tab index 0, in list order): the tool bar, the top right
// images, the about text and the link.
void frmMain::WireKeyboard() {
  struct Control {
    ui::Widget& widget;
    ui::AccRole role;
    std::uint16_t nameString;
  };
  const Control order[] = {
      {lblchkall, ui::AccRole::PushButton, 0}, {lblnochk, ui::AccRole::PushButton, 0},
      {chklock, ui::AccRole::CheckBox, 0},     {ibtndo, ui::AccRole::PushButton, kRepairButtonName},
      {imin, ui::AccRole::PushButton, 0},      {iclose, ui::AccRole::PushButton, 0},
      {txtContent, ui::AccRole::Text, kAboutName}, {Label2, ui::AccRole::Link, 0},
  };
  int tab = 1;
  for (const Control& c : order) {
    c.widget.SetTabStop(true);
    c.widget.SetTabIndex(tab++);
    c.widget.accessible.role = c.role;
    c.widget.accessible.nameString = c.nameString;
  }
  lblversion.accessible.role = ui::AccRole::StaticText;
  Label1.accessible.role = ui::AccRole::StaticText;
  // The close image acts on the release of the button; pressed from the
  // keyboard (or Alt+F4) it ends the program the same way.
  iclose.onClick = [this] { Platform().EndProgram(); };
  SetDefaultButton(&ibtndo);
  SetCloseButton(&iclose);
  WireItemListKeys(*this, rows, pleft, vsroll);
}

void frmMain::OpenSettings() {
  setFrm dialog(services_);
  Platform().ShowModal(dialog, nullptr);
}

void frmMain::OpenMakerSite() {
  // Nothing to report when it cannot start: the link simply does nothing.
  services_.commands.Start(std::string("explorer.exe ") + kMakerSite, kShowMinimized);
}

void frmMain::ShowMenuManager() {
  frmMenu dialog(services_);
  Platform().ShowModal(dialog, this);
}

std::vector<PolicyLine> frmMain::ShowBrowserManager() {
  if (!browsers_) return {};
  frmBrowsers dialog(services_, *browsers_);
  Platform().ShowModal(dialog, this);
  return dialog.PolicyLines();
}

}  // namespace orvane

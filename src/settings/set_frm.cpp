#include "settings/set_frm.h"

#include <cstdint>
#include <utility>

#include "platform/system_message.h"
#include "platform/text.h"
#include "repair/journal.h"
#include "repair/routines.h"
#include "resources/catalogue.h"

namespace orvane {

namespace {

constexpr std::uint16_t kAppliedTitle = 3608;
constexpr std::uint16_t kFacePicture = 201;
constexpr std::uint16_t kClosePicture = 202;
constexpr std::uint16_t kOkPicture = 203;
constexpr std::uint16_t kTitleString = 602;
constexpr std::uint16_t kHomePageString = 603;
constexpr std::uint16_t kSearchString = 604;
constexpr std::uint16_t kOkName = 3301;
constexpr std::uint16_t kCaptionString = 999;
constexpr std::uint16_t kUnsafePageString = 3702;
constexpr std::uint16_t kNotSavedString = 3703;

std::string Replace(std::string text, std::string_view what, std::string_view with) {
  const std::size_t at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

constexpr std::string_view kWebScheme = "http://";
constexpr std::string_view kSecureScheme = "https://";
constexpr std::string_view kBlankPage = "about:blank";

bool HasWebScheme(std::string_view entry) {
  return StartsWithNoCase(entry, kWebScheme) || StartsWithNoCase(entry, kSecureScheme);
}

std::string WithScheme(std::string entry) {
  if (entry.empty() || HasWebScheme(entry)) return entry;
  return std::string(kWebScheme) + entry;
}

// Runs one step of the OK; a failure skips it and the next step runs.
template <class Step>
void Try(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

std::string TidyEntry(std::string_view text) {
  // Pasted line breaks and tabs would end the value early in Config.ini.
  std::string kept;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20) kept.push_back(c);
  }
  text = kept;
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string TidyStartPage(std::string_view entry) {
  std::string page = TidyEntry(entry);
  if (EqualsNoCase(page, kBlankPage)) return page;
  return WithScheme(std::move(page));
}

// about:blank stays as it is here too: with "http://" in front it would be no address.
std::string TidySearchPage(std::string_view entry) { return TidyStartPage(entry); }

setFrm::setFrm(AppServices& services)
    : ui::Form(services.platform, "setFrm"),
      lbltitle(Add<ui::Label>("lbltitle")),
      lblhp(Add<ui::Label>("lblhp")),
      lblsearch(Add<ui::Label>("lblsearch")),
      txthomepage(Add<ui::TextBox>("txthomepage")),
      txtsearch(Add<ui::TextBox>("txtsearch")),
      imgok(Add<ui::Image>("imgok")),
      iclose(Add<ui::Image>("iclose")),
      services_(services) {
  Move({0, 0, 5895, 3855});
  SetPosition(ui::StartPosition::CenterOwner);

  ui::Font titleFont;
  titleFont.name = "宋体";
  titleFont.sizePt = 10.5f;
  titleFont.bold = true;
  titleFont.charset = 134;

  int tab = 0;
  for (ui::Label* label : {&lbltitle, &lblhp, &lblsearch}) {
    label->SetAutoSize(true);
    label->SetBackStyle(ui::BackStyle::Transparent);
    label->SetForeColor(ui::kWhite);
    label->SetTabIndex(tab++);
  }
  lbltitle.SetFont(titleFont);
  lbltitle.SetLeft(240);
  lbltitle.SetTop(120);
  lblhp.SetLeft(240);
  lblhp.SetTop(960);
  lblsearch.SetLeft(240);
  lblsearch.SetTop(2160);

  txthomepage.Move({240, 1200, 5415, 270});
  txthomepage.SetTabIndex(tab++);
  txthomepage.SetMaxLength(kAddressLimit);
  txtsearch.SetMaxLength(kAddressLimit);
  txtsearch.Move({240, 2400, 5415, 270});
  txtsearch.SetTabIndex(tab++);

  imgok.SetLeft(4560);
  imgok.SetTop(3120);
  iclose.SetLeft(5500);
  iclose.SetTop(60);
  iclose.SetToolTip("关闭");
  for (ui::Widget* button : {static_cast<ui::Widget*>(&imgok), static_cast<ui::Widget*>(&iclose)}) {
    button->SetTabStop(true);
    button->SetTabIndex(tab++);
    button->accessible.role = ui::AccRole::PushButton;
  }
  imgok.accessible.nameString = kOkName;
  for (ui::Label* label : {&lbltitle, &lblhp, &lblsearch}) label->accessible.role = ui::AccRole::StaticText;
  txthomepage.accessible.labelledBy = &lblhp;
  txtsearch.accessible.labelledBy = &lblsearch;
  SetDefaultButton(&imgok);
  SetCancelButton(&iclose);
  SetCloseButton(&iclose);

  onLoad = [this] { OnLoad(); };
  imgok.onClick = [this] { OnOk(); };
  iclose.onClick = [this] { Close(); };
  for (ui::Image* button : {&imgok, &iclose}) {
    button->onMouseMove = [this](const ui::MouseEvent&) { HandPointer(); };
    button->onMouseDown = [this](const ui::MouseEvent&) { HandPointer(); };
  }
  onMouseMove = [this](const ui::MouseEvent& e) { OnFaceMouseMove(e); };
}

void setFrm::OnLoad() {
  SetPicture(kFacePicture);
  iclose.SetPicture(kClosePicture);
  lblhp.SetCaption(LoadString(kHomePageString));
  lblsearch.SetCaption(LoadString(kSearchString));
  lbltitle.SetCaption(LoadString(kTitleString));
  SetCaption(lbltitle.Caption());  // no title bar; names the window to the system
  imgok.SetPicture(kOkPicture);
  txthomepage.SetText(services_.config.HomePage);
  txtsearch.SetText(services_.config.SEO);
}

// Nothing changes unless both pages are web addresses and the file takes
// them: a refused page or a file that cannot be saved is named in a message
// and the dialog stays open. Saved, the record changes and the pages are applied.
void setFrm::OnOk() {
  for (const ui::TextBox* box : {&txthomepage, &txtsearch}) {
    const std::string page = TidyEntry(box->Text());
    if (IsSafePage(TidyStartPage(page))) continue;
    services_.platform.MessageBox(Replace(LoadString(kUnsafePageString), "{value}", page), LoadString(kCaptionString),
                                  ui::MessageBoxIcon::None);
    return;
  }
  AppConfig next = services_.config;
  Try([&] { next.HomePage = TidyStartPage(txthomepage.Text()); });
  Try([&] { next.SEO = TidySearchPage(txtsearch.Text()); });
  ConfigSave saved;
  try {
    if (services_.writeConfig) saved = services_.writeConfig(next);
  } catch (...) {
    saved.code = regerr::kInvalidData;
  }
  if (saved.code != 0) {
    const std::string text = Replace(Replace(LoadString(kNotSavedString), "{file}", saved.path), "{reason}",
                                     SystemMessage(saved.code) + "(" + std::to_string(saved.code) + ")");
    services_.platform.MessageBox(text, LoadString(kCaptionString), ui::MessageBoxIcon::None);
    return;
  }
  AppConfig& config = services_.config;
  config = next;
  RepairContext context{services_.registry, services_.commands, config};
  // Journaled like a repair, so undo gives the former pages back.
  std::vector<StepTarget> targets = ResolveSteps(kStartPageSteps, config);
  for (StepTarget& t : ResolveSteps(kSearchPageSteps, config)) targets.push_back(std::move(t));
  Try([&] {
    JournaledChange(services_.files, services_.registry, services_.version, config, LoadString(kAppliedTitle), targets,
                    [&] {
                      RunReport report;
                      for (auto steps : {kStartPageSteps, kSearchPageSteps}) {
                        RunReport part;
                        Try([&] { part = RunSteps(steps, context); });
                        report.targets.insert(report.targets.end(), part.targets.begin(), part.targets.end());
                        report.outcomes.insert(report.outcomes.end(), part.outcomes.begin(), part.outcomes.end());
                      }
                      return report;
                    });
  });
  Close();
}

void setFrm::HandPointer() { services_.platform.SetCursor(services_.handCursor); }

void setFrm::OnFaceMouseMove(const ui::MouseEvent& e) {
  SetPointer(ui::MousePointer::Default);
  if (e.buttons == ui::kLeftButton) services_.platform.DragWindow(*this);
}

}  // namespace orvane

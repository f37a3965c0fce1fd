// Items 7, 8, 9, 11 and 12: browser settings and the logon notice.
#include "repair/routines.h"
#include "repair/steps.h"

namespace orvane {
namespace {

using namespace step;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

constexpr Step kStartPage[] = {
    Key(HKCU, R"(Software\Microsoft\Internet Explorer\Main)"),
    SzFrom("Start Page", TextSource::StartPage),
    Key(HKLM, R"(Software\Microsoft\Internet Explorer\Main)"),
    SzFrom("Start Page", TextSource::StartPage),
};

constexpr Step kWindowTitle[] = {
    Key(HKCU, R"(Software\Microsoft\Internet Explorer\Main)"),
    Sz("Window Title", "Microsoft Internet Explorer"),
    Key(HKLM, R"(Software\Microsoft\Internet Explorer\Main)"),
    Sz("Window Title", "Microsoft Internet Explorer"),
};

constexpr Step kHomeButton[] = {
    Key(HKCU, R"(Software\Policies\Microsoft\Internet Explorer\Control Panel)"),
    DeleteValue("HomePage"),
};

constexpr Step kSearchPage[] = {
    Key(HKLM, R"(Software\Microsoft\Internet Explorer\Search)"),
    SzFrom("CustomizeSearch", TextSource::SearchPage),
    SzFrom("SearchAssistant", TextSource::SearchPage),
};

constexpr Step kLogonNotice[] = {
    Key(HKLM, R"(Software\Microsoft\Windows\CurrentVersion\Winlogon)"),
    DeleteValue("LegalNoticeCaption"),
    DeleteValue("LegalNoticeText"),
    // Where current systems read the notice from.
    Key(HKLM, R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon)"),
    DeleteValue("LegalNoticeCaption"),
    DeleteValue("LegalNoticeText"),
    Key(HKLM, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System)"),
    DeleteValue("LegalNoticeCaption"),
    DeleteValue("LegalNoticeText"),
};

}  // namespace

const std::span<const Step> kStartPageSteps = kStartPage;
bool RepairStartPage(RepairContext& context) { return RunSteps(kStartPage, context).Succeeded(); }
const std::span<const Step> kWindowTitleSteps = kWindowTitle;
const std::span<const Step> kHomeButtonSteps = kHomeButton;
bool RepairHomeButton(RepairContext& context) { return RunSteps(kHomeButton, context).Succeeded(); }
const std::span<const Step> kSearchPageSteps = kSearchPage;
bool RepairSearchPage(RepairContext& context) { return RunSteps(kSearchPage, context).Succeeded(); }
const std::span<const Step> kLogonNoticeSteps = kLogonNotice;

}  // namespace orvane

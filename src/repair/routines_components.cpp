// Items 0 and 5: silent component registrations.
#include "repair/routines.h"
#include "repair/steps.h"

namespace orvane {
namespace {

using namespace step;
constexpr RegRoot HKCR = RegRoot::ClassesRoot;

constexpr Step kNetworkAccess[] = {
    Command("regsvr32 /s jscript.dll"),
    Command("regsvr32 /s Shdocvw.dll"),
    Command("regsvr32 /s Oleaut32.dll"),
    Command("regsvr32 /s Actxprxy.dll"),
    Command("regsvr32 /s Mshtml.dll"),
    Command("regsvr32 /s Urlmon.dll"),
    Command("regsvr32 /s Msjava.dll"),
    Command("regsvr32 /s Browseui.dll"),
};

constexpr Step kMyComputer[] = {
    Command("regsvr32 /s appwiz.cpl"),
    Command("regsvr32 /s mshtml.dll"),
    Command("regsvr32 /s jscript.dll"),
    Command("regsvr32 /s msi.dll"),
    // <CommonFiles>: the system's common program files folder.
    Command(R"(regsvr32 /s "<CommonFiles>\System\Ole DB\Oledb32.dll")"),
    Command(R"(regsvr32 /s "<CommonFiles>\System\Ado\Msado15.dll")"),
    Command("regsvr32 /s mshtmled.dll"),
    Command("regsvr32 /s /i shdocvw.dll"),
    Command("regsvr32 /s /i shell32.dll"),
    Key(HKCR, R"(exefile\shell\Open\command)"),
    Sz(kDefault, R"("%1" %*)"),
};

}  // namespace

const std::span<const Step> kNetworkAccessSteps = kNetworkAccess;
bool RepairNetworkAccess(RepairContext& context) { return RunSteps(kNetworkAccess, context).Succeeded(); }
const std::span<const Step> kMyComputerSteps = kMyComputer;
bool RepairMyComputer(RepairContext& context) { return RunSteps(kMyComputer, context).Succeeded(); }

}  // namespace orvane

// Items 1, 2, 3, 4 and 6: shell and system entries.
#include "repair/routines.h"
#include "repair/steps.h"

namespace orvane {
namespace {

using namespace step;
constexpr RegRoot HKCR = RegRoot::ClassesRoot;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

constexpr std::uint32_t kCurrentUserRoot = static_cast<std::uint32_t>(RegRoot::CurrentUser);
constexpr std::string_view kShortcutClass = "{00021401-0000-0000-C000-000000000046}";
constexpr std::string_view kAdvancedPath = R"(Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced)";

constexpr Step kHiddenFiles[] = {
    Key(HKLM, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden)"),
    Sz("Text", "@shell32.dll,-30499"),
    Sz("Type", "group"),
    ExpandSz("Bitmap", R"(%SystemRoot%\system32\shell32.dll,4)"),
    Sz("HelpID", "shell.hlp#51131"),
    Key(HKLM, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden\NOHIDDEN)"),
    Sz("RegPath", kAdvancedPath),
    Sz("Text", "@shell32.dll,-30501"),
    Sz("Type", "radio"),
    Sz("HelpID", "shell.hlp#51104"),
    Sz("ValueName", "Hidden"),
    Dword("CheckedValue", 2),
    Dword("DefaultValue", 2),
    Dword("HKeyRoot", kCurrentUserRoot),
    Key(HKLM, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden\SHOWALL)"),
    Sz("RegPath", kAdvancedPath),
    Sz("Text", "@shell32.dll,-30500"),
    Sz("Type", "radio"),
    Sz("HelpID", "shell.hlp#51105"),
    Sz("ValueName", "Hidden"),
    Dword("CheckedValue", 1),
    Dword("DefaultValue", 2),
    Dword("HKeyRoot", kCurrentUserRoot),
};

constexpr Step kSafeMode[] = {
    Key(HKLM, R"(SYSTEM\CurrentControlSet\Control\SafeBoot)"),
    Sz("AlternateShell", "cmd.exe"),
};

// "ShellEx" under ".lnk" but "shellex" under "lnkfile", as the system has them.
constexpr Step kShortcuts[] = {
    Key(HKCR, ".lnk"),
    Sz(kDefault, "lnkfile"),
    Key(HKCR, R"(.lnk\ShellEx\{000214EE-0000-0000-C000-000000000046})"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(.lnk\ShellEx\{000214F9-0000-0000-C000-000000000046})"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(.lnk\ShellEx\{00021500-0000-0000-C000-000000000046})"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(.lnk\ShellEx\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1})"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(.lnk\ShellNew)"),
    Sz("Command", "rundll32.exe appwiz.cpl,NewLinkHere %1"),
    Key(HKCR, "lnkfile"),
    Sz(kDefault, "Shortcut"),
    Sz("IsShortcut", ""),
    Sz("NeverShowExt", ""),
    Dword("EditFlags", 1),
    Key(HKCR, R"(lnkfile\CLSID)"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(lnkfile\shellex\ContextMenuHandlers\Offline Files)"),
    Sz(kDefault, "{750fdf0e-2a26-11d1-a3ea-080036587f03}"),
    Key(HKCR, R"(lnkfile\shellex\DropHandler)"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(lnkfile\shellex\IconHandler)"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(lnkfile\shellex\PropertySheetHandlers\ShimLayer Property Page)"),
    Sz(kDefault, "{513D916F-2A8E-4F51-AEAB-0CBC76FB1AF8}"),
    Key(HKCR, R"(CLSID\{00021401-0000-0000-C000-000000000046})"),
    Sz(kDefault, "Shortcut"),
    Key(HKCR, R"(CLSID\{00021401-0000-0000-C000-000000000046}\InProcServer32)"),
    Sz(kDefault, "shell32.dll"),
    Sz("ThreadingModel", "Apartment"),
    Key(HKCR, R"(CLSID\{00021401-0000-0000-C000-000000000046}\PersistentAddinsRegistered\{89BCB740-6119-101A-BCB7-00DD010655AF})"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(CLSID\{00021401-0000-0000-C000-000000000046}\PersistentHandler)"),
    Sz(kDefault, kShortcutClass),
    Key(HKCR, R"(CLSID\{00021401-0000-0000-C000-000000000046}\ProgID)"),
    Sz(kDefault, "lnkfile"),
};

// Empties "find" first: a key with subkeys cannot be deleted.
constexpr Step kFolderOpen[] = {
    ShellVerbs("find"),
    Key(HKCR, R"(Directory\shell)"),
    DeleteSubkey("find"),
};

// REG_SZ here, though the path holds a variable.
constexpr Step kGroupPolicy[] = {
    Key(HKCR, R"(CLSID\{8FC0B734-A0E1-11D1-A7D3-0000F87571E3}\InProcServer32)"),
    Sz(kDefault, R"(%SystemRoot%\System32\GPEdit.dll)"),
};

}  // namespace

const std::span<const Step> kHiddenFilesSteps = kHiddenFiles;
const std::span<const Step> kSafeModeSteps = kSafeMode;
const std::span<const Step> kShortcutsSteps = kShortcuts;
const std::span<const Step> kFolderOpenSteps = kFolderOpen;
bool RepairFolderOpen(RepairContext& context) { return RunSteps(kFolderOpen, context).Succeeded(); }
const std::span<const Step> kGroupPolicySteps = kGroupPolicy;

}  // namespace orvane

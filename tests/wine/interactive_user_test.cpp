// The current user's repairs and the context-menu manager work on the hive
// they are given: the person at the keyboard's, when the program runs as
// another account.
#include "platform/win32/interactive_user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "menuext/menu_ext.h"
#include "platform/win32/registry_win32.h"
#include "repair/routines.h"
#include "support/recording_commands.h"
#include "ui/toolkit/headless.h"

namespace orvane {
namespace {

TEST(InteractiveUser, TheSameUserKeepsTheCurrentUsersHive) {
  EXPECT_EQ(OtherInteractiveUserSid(), L"");
  EXPECT_FALSE(InteractiveUserHive());
}

bool Exists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TEST(InteractiveUser, CurrentUserStepsGoToTheGivenHive) {
  // A scratch key stands for the other user's key under HKEY_USERS.
  const std::wstring hivePath = L"Software\\OrvaneOtherUser-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring menuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";
  const std::wstring policy = L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
  for (const wchar_t* entry : {L"\\Theirs A", L"\\Theirs B\\Sub"}) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (hivePath + L"\\" + menuExt + entry).c_str(), nullptr, REG_SZ,
                              L"", 2), ERROR_SUCCESS);
  }
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (hivePath + L"\\" + policy).c_str(), L"HomePage", REG_SZ, L"1", 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (menuExt + L"\\Mine").c_str(), nullptr, REG_SZ, L"", 2), ERROR_SUCCESS);
  HKEY hive = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, hivePath.c_str(), 0, KEY_ALL_ACCESS, &hive), ERROR_SUCCESS);

  Win32Registry registry{UniqueHkey(hive)};
  ui::HeadlessPlatform platform;
  ui::Form host(platform, "host");
  ui::ListBox& list = host.Add<ui::ListBox>("lst");
  ListMenuExtEntries(registry, list);
  std::vector<std::string> names;
  for (int i = 0; i < list.ListCount(); ++i) names.push_back(list.List(i));
  EXPECT_EQ(names, (std::vector<std::string>{"Theirs A", "Theirs B"}));
  EXPECT_TRUE(DeleteMenuExtEntry(registry, "Theirs B"));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, hivePath + L"\\" + menuExt + L"\\Theirs B"));

  testing::RecordingCommandRunner commands;
  AppConfig config;
  RepairContext context{registry, commands, config};
  EXPECT_TRUE(RepairHomeButton(context));
  EXPECT_NE(RegGetValueW(HKEY_CURRENT_USER, (hivePath + L"\\" + policy).c_str(), L"HomePage", RRF_RT_ANY, nullptr,
                         nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, menuExt + L"\\Mine")) << "the process's own hive is left alone";

  RegDeleteTreeW(HKEY_CURRENT_USER, hivePath.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, hivePath.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, (menuExt + L"\\Mine").c_str());
}

// Run as another account, the window mends a class override planted in the
// keyboard user's own classes (a stand-in SID under HKEY_USERS).
TEST(InteractiveUser, TheWindowRepairsTheUsersClassOverride) {
  const std::wstring lnk = L"S-1-5-21-1111-2222-3333-1002_Classes\\.lnk";
  ASSERT_EQ(RegSetKeyValueW(HKEY_USERS, lnk.c_str(), nullptr, REG_SZ, L"txtfile", 16), ERROR_SUCCESS);
  Win32Registry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config;
  ui::HeadlessPlatform platform;
  AppServices services{platform, registry, commands, config, [](AppConfig&) {},
                       [](const AppConfig&) { return ConfigSave{}; }};
  services.interactiveSid = "S-1-5-21-1111-2222-3333-1002";
  frmMain form(services);
  platform.Show(form);
  form.Runner().RunRepairItem(3);
  wchar_t data[16] = {};
  DWORD size = sizeof(data);
  EXPECT_EQ(RegGetValueW(HKEY_USERS, lnk.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, data, &size), ERROR_SUCCESS);
  EXPECT_STREQ(data, L"lnkfile");
  RegDeleteTreeW(HKEY_USERS, L"S-1-5-21-1111-2222-3333-1002_Classes");
  RegDeleteKeyW(HKEY_USERS, L"S-1-5-21-1111-2222-3333-1002_Classes");
}

}  // namespace
}  // namespace orvane

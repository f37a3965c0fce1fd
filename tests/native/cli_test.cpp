// The console program's commands against the in-memory registry: exit codes,
// item words, --json and --config.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/cli.h"
#include "platform/memory_registry.h"
#include "support/memory_files.h"
#include "support/memory_shortcuts.h"
#include "support/recording_commands.h"
#include "support/registry_dump.h"

namespace orvane {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;

// Config.ini as a map from path to HomePage.
struct Configs : ConfigFiles {
  std::map<std::string, std::string> homePages;
  std::string ProgramFolder() override { return R"(C:\Tools)"; }
  std::string ReadString(const std::string& path, std::string_view, std::string_view key,
                         std::string_view fallback) override {
    auto it = homePages.find(path);
    return key == "HomePage" && it != homePages.end() ? it->second : std::string(fallback);
  }
  NewFile WriteNewFile(const std::string&, std::string_view) override { return NewFile::Failed; }
  bool MoveOver(const std::string&, const std::string&) override { return false; }
  void Remove(const std::string&) override {}
  std::string UniqueTag() override { return "1"; }
};

struct Output : cli::Console {
  std::string text;
  int jsonWrites = 0;
  void Write(const std::string& t, bool json) override {
    text += t;
    jsonWrites += json;
  }
};

struct Rig {
  MemoryRegistry registry;
  testing::RecordingCommandRunner commands;
  testing::MemoryFiles files;
  Configs configs;
  testing::MemoryShortcuts shortcuts;
  cli::Services services{registry, commands, files, configs, "1.0.0.9", false, {}, nullptr, &shortcuts};
  Output out;
  int Run(std::vector<std::string> args) {
    out = {};
    return cli::Run(args, services, out);
  }
};

TEST(Cli, ExitCodesFollowTheStateOfTheItems) {
  struct Case { std::vector<std::string> args; int code; const char* contains; };
  const Case cases[] = {
      {{"scan", "start-page,WINDOW-TITLE"}, 1, "[8] window-title"},
      {{"repair", "7", "8"}, 0, "[7] start-page"},
      {{"scan", "0"}, 0, ""},  // registrations are not checked
      {{"scan"}, 1, "[12] logon-notice"},
      {{"scan", "nonsense"}, 2, "nonsense"},
      {{"repair"}, 2, ""},
      {{"repair", "10"}, 2, "menu-ext"},
      {{"scan", "--bogus"}, 2, "--bogus"},
      {{"scan", "7", "--config"}, 2, "--config"},
      {{"scan", "7", "--config", R"(C:\nowhere.ini)"}, 2, "nowhere"},
      {{"help"}, 0, "search-page"},
      {{"menuext", "list"}, 0, "Evil"},
      {{"menuext", "delete", "Evil", "Missing"}, 1, "Missing"},
      {{"menuext"}, 2, ""},
      {{"undo", "a", "b"}, 2, ""},
      // An empty list is a mistake, never "nothing checked, all intact"; names and all in any case.
      {{"scan", ""}, 2, ""},
      {{"scan", ","}, 2, ""},
      {{"repair", ","}, 2, ""},
      {{"scan", "ALL"}, 1, "[12] logon-notice"},
      {{"repair", "ALL"}, 0, "[12] logon-notice"},
      {{"repair", "all,"}, 0, "[12] logon-notice"},
      {{"repair", "ALL", "Menu-Ext"}, 2, "menu-ext"},
      {{"scan", "7", "--config", R"(C:\big.ini)"}, 2, "64 KiB"},
      {{"scan", "7", "--config", R"(C:\photo.ini)"}, 2, "INI"},
      {{"scan", "7", "--config", R"(C:\wide.ini)"}, 0, ""},
      {{"scan", "browsers"}, 1, "[13] browsers"},
      {{"repair", "13"}, 2, "browsers"},
      {{"browsers", "list", "--json"}, 1, R"("where":"HKLM\\SOFTWARE\\Policies\\Google\\Chrome [HomepageLocation]")"},
      {{"browsers", "clean"}, 0, "http://hijack.example"},
      {{"browsers", "list"}, 0, "未发现"},
  };
  Rig rig;
  rig.registry.Put(RegRoot::LocalMachine, R"(SOFTWARE\Policies\Google\Chrome)", "HomepageLocation",
                   RegValue::Text(RegType::Sz, "http://hijack.example"));
  rig.registry.PutKey(HKCU, R"(Software\Microsoft\Internet Explorer\MenuExt\Evil)");
  rig.files.files[R"(C:\big.ini)"] = "[IEConfig]\r\n" + std::string(64 * 1024, ';');
  rig.files.files[R"(C:\photo.ini)"] = std::string("\x89PNG\r\n\x1a\n\0\0", 10);
  rig.files.files[R"(C:\wide.ini)"] = std::string("\xff\xfe[\0I\0]\0\r\0\n\0a\0=\0b\0", 18);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(rig.Run(c.args), c.code) << rig.out.text;
    EXPECT_NE(rig.out.text.find(c.contains), std::string::npos) << rig.out.text;
  }
  EXPECT_FALSE(rig.registry.KeyExists(HKCU, R"(Software\Microsoft\Internet Explorer\MenuExt\Evil)"));
  // The deletion was journaled like a repair: undo gives the entry back and nothing else.
  rig.registry.Put(HKCU, R"(Software\Microsoft\Internet Explorer\MenuExt\Evil\x)", "", RegValue::Dword(5));
  const std::string before = testing::Dump(rig.registry);
  rig.files.stamp = "2026-12-06_15-00-00";
  EXPECT_EQ(rig.Run({"menuext", "delete", "Evil"}), 0);
  rig.files.stamp = "2026-12-06_15-00-01";
  EXPECT_EQ(rig.Run({"undo"}), 0) << rig.out.text;
  EXPECT_EQ(testing::Dump(rig.registry), before);
}

// Whatever happens, --json prints one ASCII document that names its outcome.
TEST(Cli, JsonIsOneAsciiDocumentForEveryOutcome) {
  Rig rig;
  rig.registry.PutKey(HKCU, "Software\\Microsoft\\Internet Explorer\\MenuExt\\\xE6\x90\x9C \xF0\x9F\x98\x80");
  const std::vector<std::vector<std::string>> lines = {
      {"help", "--json"}, {"scan", "99", "--json"}, {"--json", "frob"}, {"repair", "bogus", "--json"},
      {"--frob", "--json"}, {"scan", "--json", "--config", R"(C:\missing.ini)"}, {"scan", ",", "--json"},
      {"scan", "7", "--json"}, {"menuext", "list", "--json"}};
  for (const auto& args : lines) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const int code = rig.Run(args);
    const std::string& out = rig.out.text;
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](char c) { return c > 0 && c < 0x7F; })) << out;
    EXPECT_TRUE(out.starts_with("{\"schema\":1,")) << out;
    EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
    EXPECT_NE(out.find("\"exitCode\":" + std::to_string(code) + "}"), std::string::npos) << out;
    EXPECT_EQ(out.find("\"error\":{\"code\":2,"), code == 2 ? 12u : std::string::npos) << out;
  }
  EXPECT_NE(rig.out.text.find("\"\\u641c \\ud83d\\ude00\""), std::string::npos) << rig.out.text;
}

// As SYSTEM, or with --all-users, every signed-in person's hive and class
// overrides are checked, repaired and undone there; SYSTEM's own, the default
// profile's and the service accounts' hives are left alone.
TEST(Cli, EverySignedInUserAsSystem) {
  const std::string me = "S-1-5-21-1111-2222-3333-1001", ie = R"(\Software\Microsoft\Internet Explorer\Main)",
                    policy = R"(\Software\Policies\Microsoft\Internet Explorer\Control Panel)";
  const RegValue bad = RegValue::Text(RegType::Sz, "http://hijack.example");
  constexpr RegRoot HKU = RegRoot::Users;
  Rig rig;
  rig.services.accountName = [](const std::string&) { return std::optional<std::string>(R"(PC\lin)"); };
  for (const std::string& hive : {me, std::string(".DEFAULT"), std::string("S-1-5-18")}) {
    rig.registry.Put(HKU, hive + ie, "Start Page", bad);
    rig.registry.Put(HKU, hive + policy, "HomePage", bad);
  }
  rig.registry.Put(HKU, me + R"(_Classes\.lnk)", "", RegValue::Text(RegType::Sz, "txtfile"));
  EXPECT_EQ(rig.Run({"scan", "home-button"}), 0) << "without the option: the own hive only";
  EXPECT_EQ(rig.Run({"scan", "home-button", "--all-users", "--json"}), 1);
  EXPECT_NE(rig.out.text.find(R"("users":[{"sid":")" + me + R"(","account":"PC\\lin","state":"damaged")"),
            std::string::npos) << rig.out.text;
  rig.services.runningAsSystem = true;
  EXPECT_EQ(rig.Run({"repair", "start-page,home-button,shortcuts"}), 0) << rig.out.text;
  EXPECT_EQ(rig.Run({"scan", "start-page,home-button,shortcuts"}), 0) << rig.out.text;
  EXPECT_EQ(rig.registry.Value(HKU, me + R"(_Classes\.lnk)", ""), RegValue::Text(RegType::Sz, "lnkfile"));
  for (const char* hive : {".DEFAULT", "S-1-5-18"}) EXPECT_EQ(rig.registry.Value(HKU, hive + ie, "Start Page"), bad);
  EXPECT_EQ(rig.Run({"undo"}), 0) << rig.out.text;
  EXPECT_EQ(rig.registry.Value(HKU, me + ie, "Start Page"), bad);
  EXPECT_EQ(rig.registry.Value(HKU, me + R"(_Classes\.lnk)", ""), RegValue::Text(RegType::Sz, "txtfile"));

  // The browser's menu entries likewise: the user's, not SYSTEM's own.
  const std::string ext = R"(Software\Microsoft\Internet Explorer\MenuExt\)";
  rig.registry.PutKey(HKU, me + "\\" + ext + "Evil");
  rig.registry.PutKey(HKCU, ext + "Own");
  EXPECT_EQ(rig.Run({"menuext", "list", "--json"}), 0);
  EXPECT_NE(rig.out.text.find(R"("entries":["Evil"],"users":[{"sid":")" + me + R"(","account":"PC\\lin","entries":["Evil"])"),
            std::string::npos) << rig.out.text;
  EXPECT_EQ(rig.Run({"scan", "menu-ext", "--json"}), 0);
  EXPECT_NE(rig.out.text.find(R"("menuExtensions":1,"error":0,"users":[{"sid":")" + me), std::string::npos) << rig.out.text;
  rig.files.stamp = "2026-12-06_15-00-00";
  EXPECT_EQ(rig.Run({"menuext", "delete", "evil", "Own"}), 1) << rig.out.text;
  EXPECT_FALSE(rig.registry.KeyExists(HKU, me + "\\" + ext + "Evil"));
  EXPECT_TRUE(rig.registry.KeyExists(HKCU, ext + "Own"));
  rig.files.stamp = "2026-12-06_15-00-01";
  EXPECT_EQ(rig.Run({"undo"}), 0) << rig.out.text;
  EXPECT_TRUE(rig.registry.KeyExists(HKU, me + "\\" + ext + "Evil"));

  Rig nobody;  // no user hive loaded: per-user items are not checked, which is no damage
  nobody.services.runningAsSystem = true;
  EXPECT_EQ(nobody.Run({"scan", "home-button", "--json"}), 0);
  EXPECT_NE(nobody.out.text.find(R"("state":"not-checked","registrationsChecked":true,"steps":[],"users":[])"),
            std::string::npos) << nobody.out.text;
}

// Clean keeps the way back: the policy in the .reg file, the shortcut and
// policies.json copied whole; undo puts every byte back, and a file that
// cannot be copied first is not touched.
TEST(Cli, BrowsersCleanIsUndoneByteForByte) {
  Rig rig;
  const std::string chrome = R"(SOFTWARE\Policies\Google\Chrome)", link = R"(C:\Users\u\Desktop\Chrome.lnk)";
  const std::string json = R"(C:\FF\distribution\policies.json)", lost = R"(C:\Users\u\Desktop\Edge.lnk)";
  const std::string jsonText = "{\"policies\": {\"Homepage\": {\"URL\": \"http://x.example\"}, \"A\": 1}}\r\n";
  rig.registry.Put(RegRoot::LocalMachine, chrome + R"(\RestoreOnStartupURLs)", "1", RegValue::Text(RegType::Sz, "http://x.example"));
  rig.registry.Put(RegRoot::LocalMachine, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\firefox.exe)", "",
                   RegValue::Text(RegType::Sz, R"(C:\FF\firefox.exe)"));
  rig.files.files[json] = jsonText;
  rig.files.files[link] = std::string("L\0\x01bytes", 8);
  rig.shortcuts.links[link] = {{link, R"(C:\W\mshta.exe)", ""}, ""};
  rig.shortcuts.links[lost] = {{lost, R"(C:\W\wscript.exe)", ""}, ""};  // no file to copy

  EXPECT_EQ(rig.Run({"browsers", "clean"}), 1) << rig.out.text;
  EXPECT_FALSE(rig.registry.KeyExists(RegRoot::LocalMachine, chrome + R"(\RestoreOnStartupURLs)"));
  EXPECT_FALSE(rig.shortcuts.links.count(link));
  EXPECT_TRUE(rig.shortcuts.links.count(lost)) << "not copied, so not deleted";
  rig.files.files.erase(link);  // as deleting the shortcut leaves it
  const std::string log = rig.files.files.at(R"(C:\ProgramData\Orvane\Backups\2026-12-06_14-03-27.log)");
  EXPECT_NE(log.find("Edge.lnk"), std::string::npos) << log;

  rig.files.stamp = "2026-12-06_14-05-00";
  EXPECT_EQ(rig.Run({"undo"}), 0) << rig.out.text;
  EXPECT_EQ(rig.registry.Value(RegRoot::LocalMachine, chrome + R"(\RestoreOnStartupURLs)", "1"),
            RegValue::Text(RegType::Sz, "http://x.example"));
  EXPECT_EQ(rig.files.files[json], jsonText);
  EXPECT_EQ(rig.files.files[link], std::string("L\0\x01bytes", 8));
}

}  // namespace
}  // namespace orvane

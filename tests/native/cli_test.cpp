// The console program's commands against the in-memory registry: exit codes,
// item words, --json and --config.
#include <gtest/gtest.h>

#include "cli/cli.h"
#include "platform/memory_registry.h"
#include "support/memory_files.h"
#include "support/memory_shortcuts.h"
#include "support/recording_commands.h"

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
  cli::Services services{registry, commands, files, configs, "1.0.0.9", &shortcuts};
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
      {{"scan", "browsers"}, 1, "[13] browsers"},
      {{"repair", "13"}, 2, "browsers"},
      {{"repair", "all"}, 0, ""},  // leaves the browsers to their own command
      {{"browsers", "list", "--json"}, 1, R"("where":"HKLM\\SOFTWARE\\Policies\\Google\\Chrome [HomepageLocation]")"},
      {{"browsers", "clean"}, 0, "http://hijack.example"},
      {{"browsers", "list"}, 0, "未发现"},
      {{"scan", "13"}, 0, ""},
      {{"browsers", "delete"}, 2, ""},
  };
  Rig rig;
  rig.registry.Put(RegRoot::LocalMachine, R"(SOFTWARE\Policies\Google\Chrome)", "HomepageLocation",
                   RegValue::Text(RegType::Sz, "http://hijack.example"));
  rig.registry.PutKey(HKCU, R"(Software\Microsoft\Internet Explorer\MenuExt\Evil)");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(rig.Run(c.args), c.code) << rig.out.text;
    EXPECT_NE(rig.out.text.find(c.contains), std::string::npos) << rig.out.text;
  }
  EXPECT_FALSE(rig.registry.KeyExists(HKCU, R"(Software\Microsoft\Internet Explorer\MenuExt\Evil)"));
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
  EXPECT_NE(rig.files.files[json], jsonText);
  EXPECT_FALSE(rig.shortcuts.links.count(link));
  EXPECT_TRUE(rig.shortcuts.links.count(lost)) << "not copied, so not deleted";
  rig.files.files.erase(link);  // as deleting the shortcut leaves it
  rig.files.files[json] = "overwritten";
  const std::string log = rig.files.files.at(R"(C:\Tools\Backups\2026-12-06_14-03-27.log)");
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

#include "settings/set_frm.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/memory_registry.h"
#include "repair/undo.h"
#include "settings/config_file.h"
#include "support/memory_files.h"
#include "support/registry_dump.h"
#include "support/recording_commands.h"
#include "ui/toolkit/headless.h"

namespace orvane {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;
constexpr char kMain[] = R"(Software\Microsoft\Internet Explorer\Main)";
constexpr char kSearch[] = R"(Software\Microsoft\Internet Explorer\Search)";

TEST(SettingsTidy, TrimsSpacesAndAddsTheSchemeWhereNeeded) {
  struct Case {
    const char* entry;
    const char* startPage;
    const char* searchPage;
  } cases[] = {
      {"www.example.com", "http://www.example.com", "http://www.example.com"},
      {"\twww.example.com ", "http://www.example.com", "http://www.example.com"},
      {"www.home.example\r[notes]\rcopied\n\x1f", "http://www.home.example[notes]copied",
       "http://www.home.example[notes]copied"},
      {" \r\n ", "", ""},
      {"HTTP://Example.com/Path", "HTTP://Example.com/Path", "HTTP://Example.com/Path"},
      {" About:Blank ", "About:Blank", "About:Blank"},
      {"about:blankx", "http://about:blankx", "http://about:blankx"},
      // Mended: a secure address keeps its scheme; an empty entry stays empty.
      {"HTTPS://example.com", "HTTPS://example.com", "HTTPS://example.com"},
      {"https:/x", "http://https:/x", "http://https:/x"},
      {"    ", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TidyStartPage(c.entry), c.startPage) << '"' << c.entry << '"';
    EXPECT_EQ(TidySearchPage(c.entry), c.searchPage) << '"' << c.entry << '"';
  }
}

TEST(ConfigText, Utf8WithoutAMarkIsToldFromAnsiAndReadAsTheProfileFunctionsRead) {
  EXPECT_TRUE(IsUtf8Text("HomePage=http://例子.测试/😀"));
  EXPECT_FALSE(IsUtf8Text("HomePage=http://\xC0\xFD\xD7\xD3"));  // code page 936
  EXPECT_FALSE(IsUtf8Text("HomePage=http://\xB2\xE2\xCA\xD4"));
  EXPECT_FALSE(IsUtf8Text("HomePage=http://ascii.example"));  // either way the same
  EXPECT_FALSE(IsUtf8Text("\xED\xA0\x80"));
  const std::string ini = "; x\r\n[Other]\r\nHomePage=no\r\n[ ieconfig ]\r\n  homepage = \"http://例子\" \nSEO=\r\n";
  EXPECT_EQ(IniValue(ini, "IEConfig", "HomePage"), "http://例子");
  EXPECT_EQ(IniValue(ini, "IEConfig", "SEO"), "");
  EXPECT_EQ(IniValue(ini, "IEConfig", "Other"), std::nullopt);
}

// Throws from SetValue for one value name, as a failing step would.
class ThrowingRegistry : public MemoryRegistry {
 public:
  std::string throwOn;
  long SetValue(RegHandle key, std::string_view name, const RegValue& value) override {
    if (!throwOn.empty() && name == throwOn) throw std::runtime_error("refused");
    return MemoryRegistry::SetValue(key, name, value);
  }
};

class SetFrmTest : public ::testing::Test {
 protected:
  std::string Text(RegRoot root, const char* path, const char* name) const {
    auto value = registry.Value(root, path, name);
    return value ? value->AsText() : "<none>";
  }

  // Opens the dialog modally, types both boxes and presses OK.
  void Ok(const std::string& home, const std::string& search, bool closes = true) {
    setFrm d(services);
    platform.onModal = [&](ui::Form&) {
      ASSERT_TRUE(platform.Type(d.txthomepage, home));
      ASSERT_TRUE(platform.Type(d.txtsearch, search));
      ASSERT_TRUE(platform.Click(d.imgok));
      EXPECT_EQ(d.Closed(), closes);
    };
    platform.ShowModal(d, nullptr);
  }

  ui::HeadlessPlatform platform;
  ThrowingRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://start.example", "http://search.example"};
  std::vector<AppConfig> saved;
  AppServices services{platform, registry, commands, config, {},
                       [this](const AppConfig& c) {
                         saved.push_back(c);
                         return ConfigSave{R"(C:\Tools\Config.ini)", 0};
                       },
                       ui::HeadlessPlatform::kHandCursor};
};

// OK with tidied entries is run end to end; here the fallbacks and the length limit.
TEST_F(SetFrmTest, EmptyEntriesLeaveTheFallbacksAndLongOnesArriveWhole) {
  Ok("   ", "");
  EXPECT_EQ(Text(HKCU, kMain, "Start Page"), "about:blank");
  EXPECT_EQ(Text(HKLM, kSearch, "SearchAssistant"), DefaultSearchPage);
  EXPECT_EQ(saved.back().HomePage, "");

  // Typing stops at the address limit; long and non-ANSI entries reach the registry
  // and the saved record whole.
  const std::string longest = "http://" + std::string(kAddressLimit - 7, 'p');
  Ok(longest + "cut", "검색.example/😀");
  EXPECT_EQ(Text(HKCU, kMain, "Start Page"), longest);
  EXPECT_EQ(Text(HKLM, kSearch, "CustomizeSearch"), "http://검색.example/😀");
  EXPECT_EQ(saved.back().HomePage, longest);
}

TEST_F(SetFrmTest, AFailingStepIsSkippedAndTheRestRun) {
  registry.throwOn = "Start Page";
  Ok("a.example", "b.example");
  EXPECT_EQ(config.HomePage, "http://a.example");
  EXPECT_EQ(Text(HKCU, kMain, "Start Page"), "<none>");
  EXPECT_EQ(Text(HKLM, kSearch, "CustomizeSearch"), "http://b.example");
  EXPECT_EQ(saved.back().SEO, "http://b.example");
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

// A page that is no web address, or a file that cannot be saved, is named in a
// message; the dialog stays open and nothing changes: record, registry, file.
TEST_F(SetFrmTest, ARefusedPageOrAnUnsavedFileChangesNothing) {
  Ok("a.example", "b.example");
  const std::size_t saves = saved.size();
  for (const char* page : {"javascript:alert(1)", "file:///C:/x.hta", "\\\\host\\share\\x.hta", "C:\\x.hta",
                           "vbscript:x", "data:text/html,x", "res://x.dll/y", "mk:@MSITStore:x", "//host/x"}) {
    platform.messages.clear();
    Ok(" " + std::string(page) + " ", "c.example", false);
    EXPECT_TRUE(platform.messages.size() == 1 && platform.messages[0].text.find(page) != std::string::npos) << page;
  }
  services.writeConfig = [](const AppConfig&) { return ConfigSave{R"(C:\Tools\Config.ini)", regerr::kAccessDenied}; };
  Ok("c.example", "https://d.example:8080/q?x", false);
  EXPECT_NE(platform.messages.back().text.find(R"(C:\Tools\Config.ini：)"), std::string::npos);
  EXPECT_EQ(saved.size(), saves);
  EXPECT_EQ(config.HomePage, "http://a.example");
  EXPECT_EQ(Text(HKCU, kMain, "Start Page"), "http://a.example");
  EXPECT_EQ(Text(HKLM, kSearch, "CustomizeSearch"), "http://b.example");
}

// OK is journaled like a repair: undo gives the former pages back.
TEST_F(SetFrmTest, OkIsUndoneLikeARepair) {
  testing::MemoryFiles files;
  services.files = &files;
  const std::string before = testing::Dump(registry);
  Ok("e.example", "f.example");
  files.stamp += "_undo";
  RepairContext context{registry, commands, config};
  EXPECT_EQ(UndoBackup(files, context, "1.0").status, UndoResult::Status::Restored);
  EXPECT_EQ(testing::Dump(registry), before);
}

}  // namespace
}  // namespace orvane

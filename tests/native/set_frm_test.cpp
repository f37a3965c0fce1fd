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
      {" About:Blank ", "About:Blank", "http://About:Blank"},
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
  void Ok(const std::string& home, const std::string& search) {
    setFrm d(services);
    platform.onModal = [&](ui::Form&) {
      ASSERT_TRUE(platform.Type(d.txthomepage, home));
      ASSERT_TRUE(platform.Type(d.txtsearch, search));
      ASSERT_TRUE(platform.Click(d.imgok));
    };
    platform.ShowModal(d, nullptr);
    EXPECT_TRUE(d.Closed());
  }

  ui::HeadlessPlatform platform;
  ThrowingRegistry registry;
  testing::RecordingCommandRunner commands;
  AppConfig config{"http://start.example", "http://search.example"};
  std::vector<AppConfig> saved;
  AppServices services{platform, registry, commands, config, {},
                       [this](const AppConfig& c) { saved.push_back(c); }, ui::HeadlessPlatform::kHandCursor};
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

  // A save that throws still closes the dialog, and the record keeps the new values.
  registry.throwOn.clear();
  services.writeConfig = [](const AppConfig&) { throw std::runtime_error("disk full"); };
  Ok("c.example", "d.example");
  EXPECT_EQ(config.HomePage, "http://c.example");
  EXPECT_EQ(Text(HKLM, kMain, "Start Page"), "http://c.example");

  // OK is journaled like a repair: undo gives the former pages back.
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

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "browsers/address.h"
#include "browsers/policies_json.h"
#include "browsers/policy_finder.h"
#include "browsers/scan.h"
#include "browsers/shortcut_rules.h"
#include "browsers/user_places.h"
#include "platform/memory_registry.h"
#include "platform/text.h"
#include "support/memory_files.h"
#include "support/memory_shortcuts.h"

namespace orvane {
namespace {

constexpr RegRoot HKLM = RegRoot::LocalMachine;
constexpr RegRoot HKCU = RegRoot::CurrentUser;

TEST(BrowserAddress, TellsAddressesFromOtherArguments) {
  const struct {
    const char* token;
    bool address;
  } cases[] = {
      {"https://hijack.example/?from=lnk", true}, {"HTTP://A.B", true},
      {"http:hijack.example", true},              {"javascript:alert(1)", true},
      {"chrome-extension://abc/page.html", true}, {"www.hijack.example", true},
      {"hijack.com", true},                       {"hijack.top/path?q=1", true},
      {"1.2.3.4:8080", true},                     {"百度.中国", true},
      {"例子。公司", true},                       {"xn--fiqs8s.xn--55qx5d", true},
      {"--homepage=https://hijack.example", true}, {"--proxy-server=10.0.0.1:3128", true},
      {"-url=hijack.example", true},
      {"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe", false},
      {"c:/x/y", false},                          {"--profile-directory=Profile 1", false},
      {"--force-device-scale-factor=1.25", false}, {"--user-data-dir=D:\\data", false},
      {"setup.exe", false},                       {"prefs.json", false},
      {"--new-window", false},                    {"/prefetch:1", false},
      {"about:blank", false},                     {"1.2.3.400", false},
      {"localhost", false},                       {"-.example", false},
      {"", false},                                {"a..b.com", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeAddress(c.token), c.address) << c.token;
}

TEST(BrowserAddress, SplitsAsProgramsReadTheirCommandLine) {
  const auto args = SplitCommandLine(R"(  --profile-directory="Profile 1" "a b\"c" x\\"y z" d\\\e)");
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(args[0].raw, R"(--profile-directory="Profile 1")");
  EXPECT_EQ(args[0].value, "--profile-directory=Profile 1");
  EXPECT_EQ(args[0].separator, "  ");
  EXPECT_EQ(args[1].value, "a b\"c");
  EXPECT_EQ(args[2].value, "x\\y z");
  EXPECT_EQ(args[3].value, "d\\\\\\e");
}

TEST(BrowserAddress, RemovesOnlyTheAddressesAndKeepsTheRestAsWritten) {
  const struct {
    const char* line;
    const char* kept;
    std::vector<std::string> removed;
  } cases[] = {
      {R"(--profile-directory="Profile 1" https://hijack.example)", R"(--profile-directory="Profile 1")",
       {"https://hijack.example"}},
      {R"("http://a.example/x y"  --new-window	--flag=hijack.cn)", "--new-window",
       {R"("http://a.example/x y")", "--flag=hijack.cn"}},
      {R"(hijack.example --incognito  -P "my profile" )", R"(--incognito  -P "my profile" )",
       {"hijack.example"}},
      {"--no-first-run", "--no-first-run", {}},
      {"  http://a.example  ", "", {"http://a.example"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> removed;
    EXPECT_EQ(RemoveAddresses(c.line, &removed), c.kept) << c.line;
    EXPECT_EQ(removed, c.removed) << c.line;
  }
}

class PolicyFinderTest : public ::testing::Test {
 protected:
  MemoryRegistry registry;
  const std::string chrome = R"(SOFTWARE\Policies\Google\Chrome)";
  const std::string edgeRec = R"(SOFTWARE\Policies\Microsoft\Edge\Recommended)";
  const std::string firefox = R"(SOFTWARE\Policies\Mozilla\Firefox)";

  void SetUp() override {
    registry.Put(HKLM, chrome, "HomepageLocation", RegValue::Text(RegType::Sz, "http://hijack.example"));
    registry.Put(HKLM, chrome, "PasswordManagerEnabled", RegValue::Dword(0));  // an administrator's
    registry.Put(HKLM, chrome + R"(\RestoreOnStartupURLs)", "1", RegValue::Text(RegType::Sz, "http://a.example"));
    registry.Put(HKLM, chrome + R"(\ExtensionInstallAllowlist)", "1", RegValue::Text(RegType::Sz, "abc"));
    registry.Put(HKCU, edgeRec, "defaultsearchproviderSearchURL", RegValue::Text(RegType::Sz, "http://s.example/{searchTerms}"));
    registry.Put(HKCU, edgeRec, "RestoreOnStartup", RegValue{RegType::Binary, {4, 0}});
    registry.Put(HKCU, firefox + R"(\Homepage)", "URL", RegValue::Text(RegType::Sz, "http://f.example"));
    registry.Put(HKCU, firefox + R"(\Homepage\Additional)", "1", RegValue::Text(RegType::Sz, "http://g.example"));
    registry.Put(HKCU, firefox, "DisableTelemetry", RegValue::Dword(1));
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (const PolicyHit& hit : FindPolicyHijacks(registry)) {
      lines.push_back(std::string(BrowserName(hit.browser)) + "|" + hit.keyPath + "|" + hit.name + "|" +
                      hit.shown + (hit.unexpectedType ? "|odd" : ""));
    }
    return lines;
  }
};

TEST_F(PolicyFinderTest, ListsTheHijackLinesWithOddTypesNamedAndRemovesOnlyThose) {
  ASSERT_EQ(Lines(), (std::vector<std::string>{
                         "Microsoft Edge|" + edgeRec + "|defaultsearchproviderSearchURL|http://s.example/{searchTerms}",
                         "Microsoft Edge|" + edgeRec + "|RestoreOnStartup|REG_BINARY 04 00|odd",
                         "Google Chrome|" + chrome + "|HomepageLocation|http://hijack.example",
                         "Google Chrome|" + chrome + "|RestoreOnStartupURLs|1=http://a.example",
                         "Mozilla Firefox|" + firefox + "|Homepage|URL=http://f.example; Additional\\1=http://g.example",
                     }));
  auto hits = FindPolicyHijacks(registry);
  registry.FailOn(MemoryRegistry::Op::DeleteValue, HKCU, edgeRec);
  std::vector<long> codes;
  for (const PolicyHit& hit : hits) codes.push_back(RemovePolicyHit(registry, hit));
  EXPECT_EQ(codes, (std::vector<long>{regerr::kAccessDenied, regerr::kAccessDenied, 0, 0, 0}));
  EXPECT_EQ(RemovePolicyHit(registry, hits[2]), regerr::kSuccess);  // already gone
  registry.ClearFailures();
  EXPECT_EQ(Lines().size(), 2u);  // the refused Edge lines
  EXPECT_TRUE(registry.Value(HKLM, chrome, "PasswordManagerEnabled"));
  EXPECT_TRUE(registry.Value(HKLM, chrome + R"(\ExtensionInstallAllowlist)", "1"));
  EXPECT_TRUE(registry.Value(HKCU, firefox, "DisableTelemetry"));
  EXPECT_FALSE(registry.KeyExists(HKCU, firefox + R"(\Homepage)"));
}

TEST(PoliciesJson, ListsAndRemovesHijacksKeepingTheRestAsWritten) {
  const std::string text =
      "\xEF\xBB\xBF{\n  \"policies\": {\n    \"Homepage\": {\"URL\": \"http://h.example\", \"Locked\": true},\n"
      "    \"DisableTelemetry\": true,\n    \"searchengines\": {\n      \"Default\": \"Evil\"\n    },\n"
      "    \"Proxy\": {\"Mode\": \"manual\"}\n  },\n  \"note\": \"Homepage\"\n}\n";
  const PoliciesJsonRead read = ReadPoliciesJson(text);
  ASSERT_TRUE(read.readable);
  ASSERT_EQ(read.hits.size(), 3u);
  EXPECT_EQ(read.hits[0].shown, R"({"URL":"http://h.example","Locked":true})");
  EXPECT_EQ(read.hits[1].effect, Effect::Search);
  EXPECT_EQ(RemoveJsonHijacks(text),
            "\xEF\xBB\xBF{\n  \"policies\": {\n    \"DisableTelemetry\": true\n  },\n  \"note\": \"Homepage\"\n}\n");
  EXPECT_EQ(RemoveJsonHijacks(R"({"policies":{"Proxy":1 , "Extensions":[]}})"), R"({"policies":{}})");
  // Escaped names are the names the browser reads; others stay.
  EXPECT_EQ(RemoveJsonHijacks(R"({"policies":{"\u0050roxy":1,"A\ud83d\ude00":"\n\u4e2d"}})"),
            R"({"policies":{"A\ud83d\ude00":"\n\u4e2d"}})");
  const std::string clean = R"({"policies": {"DisableAppUpdate": true}, "x": [1, 2.5e3, null]})";
  EXPECT_EQ(RemoveJsonHijacks(clean), clean);
}

TEST(PoliciesJson, InvalidTextIsUnreadableAndNeverRewritten) {
  for (const std::string& bad : {std::string(R"({"policies": {"Homepage": {"URL": "x"},}})"),
                                 std::string(R"({"policies": {"Homepage": 01}})"), std::string("{\"a\":\"\x01\"}"),
                                 std::string(R"({"policies": {}} x)"), std::string(R"({"a\u12G4": 1})"),
                                 std::string(100000, '[') + std::string(100000, ']'),
                                 std::string()}) {
    EXPECT_FALSE(ReadPoliciesJson(bad).readable) << bad.substr(0, 40);
    EXPECT_FALSE(RemoveJsonHijacks(bad)) << bad.substr(0, 40);
  }
}

TEST(PoliciesJson, FindsFirefoxThroughTheInstallKeysOnce) {
  MemoryRegistry registry;
  const std::string apps = R"(\Microsoft\Windows\CurrentVersion\App Paths\firefox.exe)";
  registry.Put(HKLM, "SOFTWARE" + apps, "", RegValue::Text(RegType::Sz, R"("C:\Program Files\Mozilla Firefox\firefox.exe")"));
  registry.Put(HKLM, "SOFTWARE" + apps, "Path", RegValue::Text(RegType::Sz, R"(c:\program files\mozilla firefox\)"));
  registry.Put(HKLM, R"(SOFTWARE\Wow6432Node\Mozilla\Mozilla Firefox\115.0 (x86 zh-CN)\Main)", "Install Directory",
               RegValue::Text(RegType::Sz, R"(C:\Program Files (x86)\Mozilla Firefox)"));
  registry.Put(HKCU, R"(SOFTWARE\Mozilla\Mozilla Firefox\120.0 (x64 zh-CN)\Main)", "PathToExe",
               RegValue::Text(RegType::Sz, R"(C:\Users\u\AppData\Local\Mozilla Firefox\firefox.exe)"));
  EXPECT_EQ(FirefoxInstallFolders(registry),
            (std::vector<std::string>{R"(C:\Program Files\Mozilla Firefox)", R"(C:\Program Files (x86)\Mozilla Firefox)",
                                      R"(C:\Users\u\AppData\Local\Mozilla Firefox)"}));
  EXPECT_EQ(PoliciesJsonPath(R"(C:\FF)"), R"(C:\FF\distribution\policies.json)");
}

TEST(BrowserShortcuts, ClassifiesTamperedShortcutsOnly) {
  const std::string chrome = R"(C:\Program Files\Google\Chrome\Application\chrome.exe)";
  const std::string desk = R"(C:\Users\u\Desktop\)";
  const auto exists = [&](const std::string& path) { return EqualsNoCase(path, chrome); };
  const struct {
    ShortcutInfo link;
    ShortcutFault fault;
    const char* kept;
  } cases[] = {
      {{desk + "Google Chrome.lnk", chrome, R"(--profile-directory="Profile 1" http://h.example)"},
       ShortcutFault::Address, R"(--profile-directory="Profile 1")"},
      {{desk + "Google Chrome.lnk", chrome, R"(--profile-directory="Profile 1")"}, ShortcutFault::None, ""},
      {{desk + "Work.lnk", R"(D:\Apps\FIREFOX.EXE)", "-P work www.h.example"}, ShortcutFault::Address, "-P work"},
      {{desk + "谷歌浏览器 - 快捷方式 (2).lnk", R"(C:\Windows\System32\mshta.exe)", "http://h.example"},
       ShortcutFault::Impostor, ""},
      {{desk + "Files.lnk", R"(C:\x\open.url)", "", R"(C:\Program Files\Mozilla Firefox\firefox.exe)"},
       ShortcutFault::Impostor, ""},
      {{desk + "Internet Explorer.lnk", R"(C:\Program Files\2345Soft\2345Explorer.exe)", ""},
       ShortcutFault::Impostor, ""},
      // The browser's own helper beside it, a script named otherwise: left alone.
      {{desk + "Chrome.lnk", R"(C:\Program Files\Google\Chrome\Application\chrome_proxy.exe)", "--app-id=x"},
       ShortcutFault::None, ""},
      {{desk + "Chrome.lnk", R"(C:\Program Files\Google\Chrome\Application\run.cmd)", ""},
       ShortcutFault::Impostor, ""},
      {{desk + "Opera 浏览器.lnk", R"(C:\Users\u\AppData\Local\Programs\Opera\launcher.exe)", "h.example"},
       ShortcutFault::Address, ""},
      {{desk + "Backup.lnk", R"(C:\Windows\System32\cmd.exe)", "/c backup.bat"}, ShortcutFault::None, ""},
      {{desk + "Chromebook tips.lnk", R"(C:\x\tips.exe)", "tips.example"}, ShortcutFault::None, ""},
      {{desk + "Microsoft Edge.lnk", "", ""}, ShortcutFault::None, ""},
  };
  for (const auto& c : cases) {
    const ShortcutVerdict verdict = ClassifyShortcut(c.link, exists);
    EXPECT_EQ(verdict.fault, c.fault) << c.link.path << " " << c.link.target;
    EXPECT_EQ(verdict.cleanArguments, c.kept) << c.link.path;
  }
}

using testing::MemoryShortcuts;

TEST(BrowserScan, ListsEveryKindOnceAndCleansWhatCanBeCleaned) {
  MemoryRegistry registry;
  testing::MemoryFiles files;
  MemoryShortcuts shortcuts;
  BrowserServices services{registry, files, shortcuts};
  registry.Put(HKLM, R"(SOFTWARE\Policies\Google\Chrome)", "ProxyServer", RegValue::Text(RegType::Sz, "1.2.3.4:80"));
  const std::string apps = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\firefox.exe)";
  registry.Put(HKLM, apps, "", RegValue::Text(RegType::Sz, R"(C:\FF\firefox.exe)"));
  registry.Put(HKCU, apps, "", RegValue::Text(RegType::Sz, R"(C:\U\FF\firefox.exe)"));
  files.files[R"(C:\FF\distribution\policies.json)"] = R"({"policies": {"Proxy": {}, "DisableAppUpdate": true}})";
  files.files[R"(C:\U\FF\distribution\policies.json)"] = R"({"policies": {"Proxy": )";
  const std::string desk = R"(C:\Users\u\Desktop\)";
  shortcuts.links[desk + "Chrome.lnk"] = {{desk + "Chrome.lnk", R"(C:\C\chrome.exe)", "--x a.example"}, ""};
  shortcuts.links[desk + "Edge.lnk"] = {{desk + "Edge.lnk", R"(C:\W\mshta.exe)", ""}, ""};
  shortcuts.links[desk + "Opera.lnk"] = {{}, "bad link"};
  shortcuts.links[desk + "Notes.lnk"] = {{}, "bad link"};

  std::vector<std::string> lines;
  const auto findings = ScanBrowsers(services);
  for (const BrowserFinding& finding : findings) lines.push_back(FindingText(finding));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       R"(Google Chrome | HKLM\SOFTWARE\Policies\Google\Chrome [ProxyServer] | 代理服务器 | 1.2.3.4:80)",
                       R"(Mozilla Firefox | C:\FF\distribution\policies.json [Proxy] | 代理服务器 | {})",
                       R"(Mozilla Firefox | C:\U\FF\distribution\policies.json | 无法读取（不是有效的 JSON），未作更改)",
                       "Google Chrome | " + desk + "Chrome.lnk | 快捷方式的命令行被加上了网址 | a.example",
                       "Microsoft Edge | " + desk + "Edge.lnk | 冒充浏览器的快捷方式 | C:\\W\\mshta.exe",
                       "Opera | " + desk + "Opera.lnk | 无法读取快捷方式 | bad link",
                   }));
  std::vector<bool> cleaned;
  for (const BrowserFinding& finding : findings) cleaned.push_back(CleanFinding(services, finding).empty());
  EXPECT_EQ(cleaned, (std::vector<bool>{true, true, false, true, true, false}));
  EXPECT_EQ(ScanBrowsers(services).size(), 2u);
  EXPECT_EQ(files.files[R"(C:\FF\distribution\policies.json)"], R"({"policies": {"DisableAppUpdate": true}})");
  EXPECT_EQ(files.files[R"(C:\U\FF\distribution\policies.json)"], R"({"policies": {"Proxy": )");
  EXPECT_EQ(shortcuts.links[desk + "Chrome.lnk"].info.arguments, "--x");
  EXPECT_TRUE(shortcuts.links.count(desk + "Notes.lnk"));
}

// Every signed-in user: their policies in their own hive, their shortcuts in
// their profile; what their hive names outside the profile is never read.
TEST(BrowserScan, EveryUserFromTheirHiveAndProfileOnly) {
  const std::string a = "S-1-5-21-1-2-3-1001", b = "S-1-5-21-1-2-3-1002", edge = R"(\SOFTWARE\Policies\Microsoft\Edge)";
  const std::string shells = a + R"(\Software\Microsoft\Windows\CurrentVersion\Explorer\)";
  const auto text = [](const char* t) { return RegValue::Text(RegType::ExpandSz, t); };
  MemoryRegistry registry;
  testing::MemoryFiles files;
  MemoryShortcuts shortcuts;
  const std::vector<std::string> users{a, b};
  BrowserServices services{registry, files, shortcuts, &users};
  registry.Put(HKLM, R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion)", "SystemRoot", text(R"(C:\Windows)"));
  registry.Put(HKLM, R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\)" + a, "ProfileImagePath",
               text(R"(%SystemDrive%\Users\a)"));
  registry.Put(HKLM, edge.substr(1), "ProxyMode", text("fixed_servers"));
  registry.Put(HKCU, edge.substr(1), "HomepageLocation", text("http://own.example"));
  for (const std::string& hive : {a, b, std::string(".DEFAULT")}) {
    registry.Put(RegRoot::Users, hive + edge, "HomepageLocation", text("http://hijack.example"));
  }
  registry.Put(RegRoot::Users, shells + "User Shell Folders", "Desktop", text(R"(%USERPROFILE%\OneDrive\Desktop)"));
  registry.Put(RegRoot::Users, shells + "Shell Folders", "Start Menu", text(R"(C:\Windows\System32)"));
  registry.Put(RegRoot::Users, shells + "User Shell Folders", "AppData", text(R"(%USERPROFILE%\..\b\AppData)"));
  for (const char* link : {R"(C:\Users\a\OneDrive\Desktop\C.lnk)", R"(C:\Windows\System32\C.lnk)",
                           R"(C:\Users\b\AppData\Microsoft\Internet Explorer\Quick Launch\C.lnk)",
                           R"(C:\Users\Public\Desktop\C.lnk)"}) {
    shortcuts.links[link] = {{link, R"(C:\C\chrome.exe)", "a.example"}, ""};
  }
  std::vector<std::string> found;
  for (const BrowserFinding& f : ScanBrowsers(services)) found.push_back(f.user + " " + f.where);
  EXPECT_EQ(found, (std::vector<std::string>{
                       R"( HKLM\SOFTWARE\Policies\Microsoft\Edge [ProxyMode])",
                       a + " HKU\\" + a + edge + " [HomepageLocation]",
                       b + " HKU\\" + b + edge + " [HomepageLocation]",
                       R"( C:\Users\Public\Desktop\C.lnk)",
                       a + R"( C:\Users\a\OneDrive\Desktop\C.lnk)",
                   }));

  struct Case { const char* path; bool within; };
  for (const Case& c : std::initializer_list<Case>{
           {R"(C:\Users\a)", true}, {R"(c:\users\A\Desktop)", true}, {R"(C:\Users\ab\Desktop)", false},
           {R"(C:\Users\a\..\b)", false}, {R"(C:\Users\a\. .\b)", false}, {R"(C:\Users\a\\x)", false},
           {R"(C:\Users\a\Desktop:s)", false}, {R"(C:\Users\a/../b)", false}, {R"(D:\Users\a\x)", false}}) {
    EXPECT_EQ(LiesWithin(c.path, R"(C:\Users\a)"), c.within) << c.path;
  }
}

}  // namespace
}  // namespace orvane

// Browser hijacks against Wine's registry, files and shell links: planted
// policies beside an administrator's (one written by a 32-bit program), a policies.json beside a stand-in
// firefox.exe, and shortcuts on the real desktop and Start menu, some of them
// made read-only or unreadable as a hijacker leaves them.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "browsers/policies_json.h"
#include "browsers/policy_finder.h"
#include "browsers/scan.h"
#include "browsers/win32/shell_links.h"
#include "platform/win32/file_store_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/wide_text.h"
#include "repair/key_tree.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
constexpr RegRoot HKCU = RegRoot::CurrentUser, HKLM = RegRoot::LocalMachine;
const std::string kChrome = R"(SOFTWARE\Policies\Google\Chrome)";
const std::string kEdge = R"(SOFTWARE\Policies\Microsoft\Edge)";
const std::string kFirefox = R"(SOFTWARE\Policies\Mozilla\Firefox)";

void Put(RegistryService& reg, RegRoot root, const std::string& path, const std::string& name, const RegValue& value,
         RegView view = RegView::Default) {
  RegKey key(reg);
  ASSERT_EQ(key.Create(root, path, view), regerr::kSuccess) << path;
  ASSERT_EQ(reg.SetValue(key.Get(), name, value), regerr::kSuccess) << name;
}

bool Has(RegistryService& reg, RegRoot root, const std::string& path, const std::string& name) {
  RegKey key(reg);
  RegValue value;
  return key.Open(root, path, kKeyRead) == regerr::kSuccess &&
         reg.QueryValue(key.Get(), name, value) == regerr::kSuccess;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Quoted(const fs::path& path) {
  std::string text = Narrow(path.wstring());
  text.insert(text.begin(), '"');
  text.push_back('"');
  return text;
}

class BrowsersWine : public ::testing::Test {
 protected:
  void TearDown() override {
    for (auto& undo : cleanup) undo();
    DeleteKeyTree(registry, HKLM, R"(SOFTWARE\Policies\Google)");
    DeleteKeyTree(registry, HKCU, kEdge);
    DeleteKeyTree(registry, HKCU, R"(SOFTWARE\Policies\Mozilla)");
    DeleteKeyTree(registry, HKCU, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\firefox.exe)");
    if (!dir.empty()) fs::remove_all(dir);
  }
  fs::path MakeDir(const std::string& name) {
    dir = fs::temp_directory_path() / (name + std::to_string(::GetCurrentProcessId()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
  }

  Win32Registry registry;
  fs::path dir;
  std::vector<std::function<void()>> cleanup;  // runs even after a failed assertion
};

TEST_F(BrowsersWine, ListsAndRemovesPlantedPoliciesFromEitherViewOnly) {
  Put(registry, HKLM, kChrome, "HomepageLocation", RegValue::Text(RegType::Sz, "http://hijack.example"));
  Put(registry, HKLM, kChrome, "PasswordManagerEnabled", RegValue::Dword(0));
  Put(registry, HKLM, kChrome + R"(\RestoreOnStartupURLs)", "1", RegValue::Text(RegType::Sz, "http://a.example"));
  Put(registry, HKLM, kChrome, "NewTabPageLocation", RegValue::Text(RegType::Sz, "http://n.example"), RegView::Bits32);
  Put(registry, HKLM, kChrome, "MetricsReportingEnabled", RegValue::Dword(0), RegView::Bits32);
  Put(registry, HKCU, kEdge, "SyncDisabled", RegValue::Dword(1));
  Put(registry, HKCU, kEdge + R"(\Recommended)", "HomepageLocation", RegValue::Text(RegType::Sz, "http://e.example"));
  Put(registry, HKCU, kEdge + R"(\Recommended)", "RestoreOnStartup", RegValue{RegType(11), {4, 0, 0, 0, 0, 0, 0, 0}});
  Put(registry, HKCU, kEdge + R"(\Recommended)", "ShowHomeButton", RegValue::Dword(1));
  Put(registry, HKCU, kFirefox + R"(\Homepage)", "URL", RegValue::Text(RegType::Sz, "http://f.example"));
  Put(registry, HKCU, kFirefox, "DisableTelemetry", RegValue::Dword(1));

  std::vector<std::string> lines;
  const auto hits = FindPolicyHijacks(registry);
  for (const PolicyHit& hit : hits) lines.push_back(hit.keyPath + "|" + hit.name + "|" + hit.shown);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       kEdge + R"(\Recommended|HomepageLocation|http://e.example)",
                       kEdge + R"(\Recommended|RestoreOnStartup|REG_QWORD 4)",
                       kChrome + "|HomepageLocation|http://hijack.example",
                       kChrome + "|NewTabPageLocation|http://n.example",
                       kChrome + "|RestoreOnStartupURLs|1=http://a.example",
                       kFirefox + "|Homepage|URL=http://f.example",
                   }));
  for (const PolicyHit& hit : hits) EXPECT_EQ(RemovePolicyHit(registry, hit), regerr::kSuccess) << hit.name;
  EXPECT_TRUE(FindPolicyHijacks(registry).empty());
  EXPECT_TRUE(Has(registry, HKLM, kChrome, "PasswordManagerEnabled"));
  EXPECT_TRUE(Has(registry, HKLM, kChrome, "MetricsReportingEnabled"));
  EXPECT_TRUE(Has(registry, HKCU, kEdge, "SyncDisabled"));
  EXPECT_TRUE(Has(registry, HKCU, kEdge + R"(\Recommended)", "ShowHomeButton"));
  EXPECT_TRUE(Has(registry, HKCU, kFirefox, "DisableTelemetry"));
}

TEST_F(BrowsersWine, RewritesPoliciesJsonBesideTheRegisteredFirefox) {
  const fs::path install = MakeDir("orvane-ff-") / "Mozilla Firefox";
  fs::create_directories(install / "distribution");
  std::ofstream(install / "firefox.exe", std::ios::binary) << "MZ";
  Put(registry, HKCU, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\firefox.exe)", "",
      RegValue::Text(RegType::Sz, Quoted(install / "firefox.exe")));
  std::ofstream(install / "distribution" / "policies.json", std::ios::binary)
      << "{\r\n  \"policies\": {\r\n    \"DisableAppUpdate\": true,\r\n    \"Home\\u0070age\": {\r\n"
         "      \"URL\": \"http://hijack.example\"\r\n    }\r\n  }\r\n}\r\n";

  const auto folders = FirefoxInstallFolders(registry);
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_TRUE(EqualsNoCase(folders[0], Narrow(install.wstring())));
  Win32FileStore files;
  const std::string path = PoliciesJsonPath(folders[0]);
  const auto text = files.ReadFile(path);
  ASSERT_TRUE(text);
  // The name spelled with an escape, as a hijacker may to slip past a plain search.
  EXPECT_EQ(ReadPoliciesJson(*text).hits.size(), 1u);
  const auto cleaned = RemoveJsonHijacks(*text);
  ASSERT_TRUE(cleaned);
  ASSERT_TRUE(WritePoliciesJson(files, path, *cleaned));
  EXPECT_EQ(Bytes(install / "distribution" / "policies.json"),
            "{\r\n  \"policies\": {\r\n    \"DisableAppUpdate\": true\r\n  }\r\n}\r\n");
}

void MakeLink(const fs::path& link, const fs::path& target, const std::wstring& arguments) {
  IShellLinkW* shell = nullptr;
  IPersistFile* file = nullptr;
  ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                              reinterpret_cast<void**>(&shell)));
  shell->SetPath(target.c_str());
  shell->SetArguments(arguments.c_str());
  shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_HRESULT_SUCCEEDED(file->Save(link.c_str(), TRUE));
  file->Release();
  shell->Release();
}

fs::path Known(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  ::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path);
  fs::path folder = path ? path : L"";
  ::CoTaskMemFree(path);
  return folder;
}

// Runs a program of the host (Wine starts those too) on one of this prefix's
// files, and waits until `done`: the handle Wine gives for it is no process to wait on.
void RunOnHost(const std::string& command, const fs::path& file, const std::function<bool()>& done) {
  using UnixName = char* (*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr);
  const std::string program = command.substr(0, command.find(' '));
  std::wstring line = Wide(command + " \"" + unixName(file.c_str()) + "\"");
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(Wide("Z:\\bin\\" + program).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &start, &process));
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  for (int i = 0; i < 1000 && !done(); ++i) ::Sleep(10);
}

DWORD Attributes(const fs::path& path) { return ::GetFileAttributesW(path.c_str()); }

TEST_F(BrowsersWine, CleansAndDeletesTamperedShortcutsThatHijackersMadeReadOnly) {
  Win32ShortcutStore shortcuts;
  Win32FileStore files;
  BrowserServices services{registry, files, shortcuts};
  const fs::path app = MakeDir("orvane-lnk-") / "Google" / "Chrome" / "Application";
  fs::create_directories(app);
  std::ofstream(app / "chrome.exe", std::ios::binary) << "MZ";
  const fs::path desktop = Known(FOLDERID_Desktop) / L"Google Chrome.lnk";
  const fs::path menu = Known(FOLDERID_Programs) / L"Orvane 测试";
  const fs::path impostor = menu / L"Microsoft Edge.lnk", broken = menu / L"Firefox.lnk";
  fs::create_directories(menu);
  cleanup.push_back([=] {
    ::SetFileAttributesW(desktop.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesW(impostor.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove(desktop);
    RunOnHost("rm -f", menu / L"loop", [=] { return Attributes(menu / L"loop") == INVALID_FILE_ATTRIBUTES; });
    fs::remove_all(menu);
  });
  MakeLink(desktop, app / "chrome.exe", LR"(--profile-directory="Profile 1" https://hijack.example/?src=lnk)");
  MakeLink(impostor, Known(FOLDERID_System) / "mshta.exe", L"http://hijack.example/a.hta");
  std::ofstream(broken, std::ios::binary) << "not a shortcut";
  for (const fs::path& link : {desktop, impostor}) {
    ASSERT_TRUE(::SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_READONLY));
  }
  // The Start menu linked within itself: a host link shows as a linked folder
  // (a reparse point) under Wine, as a junction does on Windows.
  RunOnHost("ln -s ..", menu / L"loop", [=] { return Attributes(menu / L"loop") != INVALID_FILE_ATTRIBUTES; });
  ASSERT_EQ(Attributes(menu / L"loop"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);

  // The folder's own order: Wine lists files as the host's file system gives them.
  const auto findings = ScanBrowsers(services);
  EXPECT_EQ(findings.size(), 3u);
  std::map<std::string, std::string> found;
  for (const BrowserFinding& finding : findings) {
    found[AsciiLower(finding.where)] = finding.cleanable ? AsciiLower(finding.value) : "listed only";
  }
  EXPECT_EQ(found, (std::map<std::string, std::string>{
                       {AsciiLower(Narrow(desktop.wstring())), "https://hijack.example/?src=lnk"},
                       {AsciiLower(Narrow(broken.wstring())), "listed only"},
                       {AsciiLower(Narrow(impostor.wstring())),
                        AsciiLower(Narrow((Known(FOLDERID_System) / "mshta.exe").wstring())) + " http://hijack.example/a.hta"},
                   }));
  for (const BrowserFinding& finding : findings) {
    EXPECT_EQ(CleanFinding(services, finding).empty(), finding.cleanable) << finding.where;
  }
  const ShortcutRead cleaned = ReadShortcut(Narrow(desktop.wstring()));
  EXPECT_EQ(cleaned.info.arguments, R"(--profile-directory="Profile 1")");
  EXPECT_TRUE(EqualsNoCase(cleaned.info.target, Narrow((app / "chrome.exe").wstring())));
  EXPECT_TRUE(::GetFileAttributesW(desktop.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(fs::exists(impostor));
  EXPECT_EQ(Bytes(broken), "not a shortcut");
}

}  // namespace
}  // namespace orvane

// Config.ini under Windows: the real GetPrivateProfileStringA, the ANSI code page (936 in
// the test prefix) and real file replacement.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "settings/config_file.h"
#include "settings/ini_lookup.h"
#include "settings/win32/config_file_win32.h"

namespace orvane {
namespace {

using namespace std::string_literals;

std::wstring W(const std::string& utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

void PutBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_EQ(written, bytes.size());
}

std::string GetBytes(const std::string& path) {
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(GetFileSize(h, nullptr), '\0');
  DWORD read = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(h);
  bytes.resize(read);
  return bytes;
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ConfigWine : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    std::wstring base = temp;
    for (unsigned n = GetCurrentProcessId();; ++n) {
      std::wstring dir = base + L"orvane-config-" + std::to_wstring(n);
      if (CreateDirectoryW(dir.c_str(), nullptr)) {
        dir_ = Utf16ToUtf8(std::u16string(dir.begin(), dir.end()));
        break;
      }
      ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    }
  }
  void TearDown() override {
    WIN32_FIND_DATAW found;
    std::wstring dir = W(dir_);
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::wstring path = dir + L"\\" + found.cFileName;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      } while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
  }

  std::string File() const { return dir_ + "\\Config.ini"; }
  // How many names the folder holds: a leftover temporary file counts.
  int Entries() const {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((W(dir_) + L"\\*").c_str(), &found);
    int n = 0;
    if (h == INVALID_HANDLE_VALUE) return n;
    do {
      std::wstring name = found.cFileName;
      n += name != L"." && name != L"..";
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return n;
  }

  std::string dir_;
};

// The same INI texts through the system's lookup and the portable one. Each text is stored
// in the ANSI code page; both answers are compared as UTF-8.
TEST_F(ConfigWine, PortableLookupAgreesWithGetPrivateProfileStringA) {
  const std::string a300(300, 'a');
  struct Row {
    std::string text;
    const char* section;
    const char* key;
    const char* fallback;
  };
  const Row rows[] = {
      {"[IEConfig]\r\nHomePage=http://a\r\nSEO=http://b\r\n", "IEConfig", "SEO", "d"},
      {"[ieCONFIG]\r\nhomepage=x\r\n", "IEConfig", "HomePage", "d"},
      {"  [ IEConfig ]  \r\n \t HomePage \t=  x y \t\r\n", "IEConfig", "HomePage", "d"},
      {"[Other]\r\nHomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfigX]\r\nHomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nSEO=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage\r\nHomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=  \t\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\" x \"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage='x'\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"x'\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"\"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"a\"b\"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=a\r\nHomePage=b\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nSEO=s\r\n[IEConfig]\r\nHomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nSEO=s\r\n[Other]\r\n[IEConfig]\r\nSEO=t\r\n", "IEConfig", "SEO", "d"},
      {"HomePage=x\r\n[IEConfig]\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\nHomePage=x\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\rHomePage=x\r", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=x", "IEConfig", "HomePage", "d"},
      {"[IEConfig] ; note\r\nHomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig\r\nHomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\n;HomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=a=b\r\n", "IEConfig", "HomePage", "d"},
      {"\xEF\xBB\xBF[IEConfig]\r\nHomePage=x\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=ab\0cd\r\n"s, "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHome\0Page=x\r\n"s, "IEConfig", "Home", "d"},
      {"[IEConfig]\r\nHomePage=x\x1A\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=" + a300 + "\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"" + a300 + "\"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"" + a300.substr(0, 255) + "\"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"" + a300.substr(0, 254) + "\"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=\"" + a300.substr(0, 253) + "\"\r\n", "IEConfig", "HomePage", "d"},
      {"[IEConfig]\r\nHomePage=http://例子.中国\r\n", "IEConfig", "HomePage", "d"},
      {"[设置]\r\n主页=网址\r\n", "设置", "主页", "d"},
      {"[IEConfig]\r\nSEO=x\r\n", "IEConfig", "HomePage", "d  "},
      {"[IEConfig]\r\nSEO=x\r\n", "IEConfig", "HomePage", "   "},
      {"[IEConfig]\r\nSEO=x\r\n", "IEConfig", "HomePage", "'q'"},
      {"[IEConfig]\r\nSEO=x\r\n", " IEConfig ", " seo ", "d"},
      {"", "IEConfig", "HomePage", "about:blank"},
  };
  int index = 0;
  for (const Row& row : rows) {
    const bool bom = row.text.starts_with("\xEF\xBB\xBF");
    const std::string path = dir_ + "\\case" + std::to_string(index++) + ".ini";
    PutBytes(path, bom ? row.text : Utf8ToAnsi(row.text));
    char buffer[kProfileBufferSize] = {};
    DWORD n = GetPrivateProfileStringA(Utf8ToAnsi(row.section).c_str(), Utf8ToAnsi(row.key).c_str(),
                                       Utf8ToAnsi(row.fallback).c_str(), buffer, sizeof buffer,
                                       Utf8ToAnsi(path).c_str());
    EXPECT_EQ(AnsiToUtf8(std::string(buffer, n)),
              ProfileString(row.text, row.section, row.key, row.fallback))
        << "case " << index - 1 << ": " << row.text.substr(0, 60);
  }
  // A file that is not there.
  char buffer[kProfileBufferSize] = {};
  DWORD n = GetPrivateProfileStringA("IEConfig", "HomePage", "'q'", buffer, sizeof buffer,
                                     Utf8ToAnsi(dir_ + "\\absent.ini").c_str());
  EXPECT_EQ(std::string(buffer, n), ProfileString(std::string_view(), "IEConfig", "HomePage", "'q'"));
}

TEST_F(ConfigWine, ChineseRoundTripInCodePage936) {
  ASSERT_EQ(GetACP(), 936u) << "the test prefix runs with LC_ALL=zh_CN.UTF-8";
  WindowsConfigFiles files(dir_);
  PutBytes(File(), "; old\r\n[Other]\r\nA=1\r\n[IEConfig]\r\nHomePage=old\r\nExtra=2\r\n");
  const AppConfig written{"http://例子.中国/首页", "http://搜索.中国"};
  WriteConfig(files, written);
  EXPECT_EQ(GetBytes(File()),
            "[IEConfig]\r\nHomePage=http://\xC0\xFD\xD7\xD3.\xD6\xD0\xB9\xFA/\xCA\xD7\xD2\xB3\r\n"
            "SEO=http://\xCB\xD1\xCB\xF7.\xD6\xD0\xB9\xFA\r\n");
  EXPECT_EQ(Entries(), 1);

  AppConfig read;
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, written.HomePage);
  EXPECT_EQ(read.SEO, written.SEO);

  // What code page 936 cannot hold becomes its default character.
  EXPECT_EQ(Utf8ToAnsi("a\xC3\xA5" "b"), "a?b");
}

TEST_F(ConfigWine, ValuesUpTo255BytesSurviveLongerOnesAreCut) {
  WindowsConfigFiles files(dir_);
  const std::string exact = "http://" + std::string(248, 'x');
  ASSERT_EQ(exact.size(), 255u);
  WriteConfig(files, {exact, exact + "yz"});
  AppConfig read;
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, exact);
  EXPECT_EQ(read.SEO, exact);

  // 127 Chinese characters take 254 bytes; the 128th does not fit and is dropped whole.
  std::string chinese;
  for (int i = 0; i < 130; ++i) chinese += "中";
  WriteConfig(files, {chinese, "a" + chinese});
  ReadConfig(files, read);
  std::string expected;
  for (int i = 0; i < 127; ++i) expected += "中";
  EXPECT_EQ(read.HomePage, expected);
  EXPECT_EQ(read.SEO, "a" + expected);

  // A cut through a double-byte character leaves its lead byte last; that byte is dropped.
  EXPECT_EQ(AnsiToUtf8("\xD6\xD0\xD6"), "中");
  EXPECT_EQ(AnsiToUtf8("a\xD6"), "a");
}

TEST_F(ConfigWine, MissingPartsGiveDefaultsAndEmptyValueStaysEmpty) {
  WindowsConfigFiles files(dir_);
  AppConfig read{"stale", "stale"};
  ReadConfig(files, read);  // no file
  EXPECT_EQ(read.HomePage, "about:blank");
  EXPECT_EQ(read.SEO, DefaultSearchPage);

  WindowsConfigFiles noFolder(dir_ + "\\absent");
  read = {"stale", "stale"};
  ReadConfig(noFolder, read);
  EXPECT_EQ(read.HomePage, "about:blank");
  EXPECT_EQ(read.SEO, DefaultSearchPage);

  PutBytes(File(), "[Other]\r\nHomePage=x\r\nSEO=y\r\n");
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, "about:blank");
  EXPECT_EQ(read.SEO, DefaultSearchPage);

  PutBytes(File(), "[IEConfig]\r\nHomePage=\r\n");
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, "");
  EXPECT_EQ(read.SEO, DefaultSearchPage);
}

TEST_F(ConfigWine, FailedWriteLeavesTheFormerFileWhole) {
  const std::string former = "[IEConfig]\r\nHomePage=http://old\r\nSEO=http://old\r\n";
  WindowsConfigFiles files(dir_);
  const AppConfig fresh{"http://new", "http://new"};

  PutBytes(File(), former);
  ASSERT_TRUE(SetFileAttributesW(W(File()).c_str(), FILE_ATTRIBUTE_READONLY));
  WriteConfig(files, fresh);
  EXPECT_EQ(GetBytes(File()), former);
  EXPECT_EQ(Entries(), 1);
  ASSERT_TRUE(SetFileAttributesW(W(File()).c_str(), FILE_ATTRIBUTE_NORMAL));

  // Held open without sharing by another program.
  HANDLE held = CreateFileW(W(File()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  WriteConfig(files, fresh);
  CloseHandle(held);
  EXPECT_EQ(GetBytes(File()), former);
  EXPECT_EQ(Entries(), 1);

  WindowsConfigFiles noFolder(dir_ + "\\absent");
  WriteConfig(noFolder, fresh);
  EXPECT_FALSE(Exists(dir_ + "\\absent"));

  WriteConfig(files, fresh);  // and the same write goes through once nothing stands in the way
  EXPECT_EQ(GetBytes(File()), ConfigFileText(fresh));
}

// GetPrivateProfileStringA takes an ANSI path: a folder name 936 cannot spell goes by its
// short name.
TEST_F(ConfigWine, FolderNameOutsideTheCodePage) {
  const std::string folder = dir_ + "\\配置ก";
  ASSERT_TRUE(CreateDirectoryW(W(folder).c_str(), nullptr));
  WindowsConfigFiles files(folder);
  WriteConfig(files, {"http://a", "http://b"});
  AppConfig read;
  ReadConfig(files, read);
  DeleteFileW(W(folder + "\\Config.ini").c_str());
  RemoveDirectoryW(W(folder).c_str());
  EXPECT_EQ(read.HomePage, "http://a");
  EXPECT_EQ(read.SEO, "http://b");
}

TEST(ConfigWinePath, DriveRootAndExecutableFolder) {
  EXPECT_EQ(ConfigFilePath(FolderOfProgram("C:\\Orvane.exe")), "C:\\Config.ini");
  EXPECT_EQ(ConfigFilePath(FolderOfProgram("C:\\Tools\\Orvane.exe")), "C:\\Tools\\Config.ini");

  wchar_t module[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
  ASSERT_GT(n, 0u);
  std::string exe = Utf16ToUtf8(std::u16string(module, module + n));
  std::string folder = ExecutableFolder();
  EXPECT_EQ(folder, exe.substr(0, exe.rfind('\\')));
  EXPECT_EQ(WindowsConfigFiles().ProgramFolder(), folder);

  // A real file in a drive root, written and read through "C:\".
  const std::string root = "C:\\Config.ini";
  ASSERT_FALSE(Exists(root)) << "a Config.ini is already in C:\\";
  WindowsConfigFiles files("C:\\");
  WriteConfig(files, {"http://root", "http://root/seo"});
  EXPECT_EQ(GetBytes(root), "[IEConfig]\r\nHomePage=http://root\r\nSEO=http://root/seo\r\n");
  AppConfig read;
  ReadConfig(files, read);
  DeleteFileW(L"C:\\Config.ini");
  EXPECT_EQ(read.HomePage, "http://root");
  EXPECT_EQ(read.SEO, "http://root/seo");
}

}  // namespace
}  // namespace orvane

// Config.ini under Windows: the real GetPrivateProfileStringA, the ANSI code page (936 in
// the test prefix) and real file replacement.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/text.h"
#include "settings/config_file.h"
#include "settings/win32/config_file_win32.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::wstring W(const std::string& utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

void PutBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(fs::path(W(path)), std::ios::binary) << bytes;
}

std::string GetBytes(const std::string& path) {
  std::ifstream in(fs::path(W(path)), std::ios::binary);
  if (!in) return "<missing>";
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ConfigWine : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path dir = fs::temp_directory_path() / ("orvane-config-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(dir);
    ASSERT_TRUE(fs::create_directory(dir));
    dir_ = dir.string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string File() const { return dir_ + "\\Config.ini"; }
  // How many names the folder holds: a leftover temporary file counts.
  long Entries() const { return std::distance(fs::directory_iterator(dir_), fs::directory_iterator()); }

  std::string dir_;
};

TEST_F(ConfigWine, DefaultsChineseRoundTripAndCutInCodePage936) {
  ASSERT_EQ(GetACP(), 936u) << "the test prefix runs with LC_ALL=zh_CN.UTF-8";
  WindowsConfigFiles files(dir_);
  AppConfig read{"stale", "stale"};
  ReadConfig(files, read);  // no file: the defaults; an empty entry stays empty
  EXPECT_EQ(read.HomePage + "|" + read.SEO, "about:blank|" + std::string(DefaultSearchPage));
  PutBytes(File(), "[IEConfig]\r\nHomePage=\r\n");
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage + "|" + read.SEO, "|" + std::string(DefaultSearchPage));
  PutBytes(File(), "; old\r\n[Other]\r\nA=1\r\n[IEConfig]\r\nHomePage=old\r\nExtra=2\r\n");
  const AppConfig written{"http://例子.中国/首页", "http://搜索.中国"};
  WriteConfig(files, written);
  EXPECT_EQ(GetBytes(File()),
            "[IEConfig]\r\nHomePage=http://\xC0\xFD\xD7\xD3.\xD6\xD0\xB9\xFA/\xCA\xD7\xD2\xB3\r\n"
            "SEO=http://\xCB\xD1\xCB\xF7.\xD6\xD0\xB9\xFA\r\n");
  EXPECT_EQ(Entries(), 1);
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, written.HomePage);
  EXPECT_EQ(read.SEO, written.SEO);

  // Values past the profile reader's usual 255 bytes come back whole.
  std::string chinese;
  for (int i = 0; i < 1100; ++i) chinese += "中";
  WriteConfig(files, {chinese, "a" + chinese});
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, chinese);
  EXPECT_EQ(read.SEO, "a" + chinese);

  // Text outside code page 936 turns the file into UTF-16 with a byte-order mark.
  const AppConfig korean{"http://예시.한국/😀", "http://검색.한국"};
  WriteConfig(files, korean);
  const std::string bytes = GetBytes(File());
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), "\xFF\xFE[\0"s);
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, korean.HomePage);
  EXPECT_EQ(read.SEO, korean.SEO);

  // Saved by Notepad: UTF-8 without a byte-order mark.
  PutBytes(File(), "[IEConfig]\r\nHomePage=http://例子.测试/首页\r\nSEO=http://搜索.测试\r\n");
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage + "|" + read.SEO, "http://例子.测试/首页|http://搜索.测试");

}

TEST_F(ConfigWine, FailedWriteLeavesTheFormerFileWhole) {
  const std::string former = "[IEConfig]\r\nHomePage=http://old\r\nSEO=http://old\r\n";
  WindowsConfigFiles files(dir_);
  const AppConfig fresh{"http://new", "http://new"};

  PutBytes(File(), former);
  ASSERT_TRUE(SetFileAttributesW(W(File()).c_str(), FILE_ATTRIBUTE_READONLY));
  const ConfigSave refused = WriteConfig(files, fresh);
  EXPECT_EQ(refused.code, ERROR_ACCESS_DENIED);
  EXPECT_EQ(refused.path, File());
  EXPECT_EQ(GetBytes(File()), former);
  EXPECT_EQ(Entries(), 1);
  ASSERT_TRUE(SetFileAttributesW(W(File()).c_str(), FILE_ATTRIBUTE_NORMAL));

  // A stale or planted temporary file, read-only, under the name once used.
  PutBytes(File() + ".new", "planted");
  ASSERT_TRUE(SetFileAttributesW(W(File() + ".new").c_str(), FILE_ATTRIBUTE_READONLY));
  WriteConfig(files, fresh);
  EXPECT_EQ(GetBytes(File()), ConfigFileText(fresh));
  EXPECT_EQ(GetBytes(File() + ".new"), "planted");
  EXPECT_EQ(Entries(), 2);
  ASSERT_TRUE(SetFileAttributesW(W(File() + ".new").c_str(), FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(DeleteFileW(W(File() + ".new").c_str()));
  PutBytes(File(), former);

  WindowsConfigFiles noFolder(dir_ + "\\absent");
  WriteConfig(noFolder, fresh);
  EXPECT_FALSE(Exists(dir_ + "\\absent"));

  WriteConfig(files, fresh);  // and the same write goes through once nothing stands in the way
  EXPECT_EQ(GetBytes(File()), ConfigFileText(fresh));
}

}  // namespace
}  // namespace orvane

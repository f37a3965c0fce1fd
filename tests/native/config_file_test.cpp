#include "settings/config_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/config_file_native.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

TEST(ConfigPath, OneBackslashBeforeTheFileName) {
  EXPECT_EQ(FolderOfProgram("C:\\Orvane.exe"), "C:\\");
  EXPECT_EQ(FolderOfProgram("C:\\Tools\\Repair\\Orvane.exe"), "C:\\Tools\\Repair");
  EXPECT_EQ(FolderOfProgram("\\\\server\\share\\Orvane.exe"), "\\\\server\\share");
  EXPECT_EQ(ConfigFilePath("C:\\"), "C:\\Config.ini");
  EXPECT_EQ(ConfigFilePath("C:\\Tools"), "C:\\Tools\\Config.ini");
  EXPECT_EQ(ConfigFilePath(FolderOfProgram("D:\\Orvane.exe")), "D:\\Config.ini");
}

TEST(ConfigPath, FileTextIsThreeCrLfLines) {
  EXPECT_EQ(ConfigFileText({"about:blank", " x "}),
            "[IEConfig]\r\nHomePage=about:blank\r\nSEO= x \r\n");
  EXPECT_EQ(ConfigFileText({}), "[IEConfig]\r\nHomePage=\r\nSEO=\r\n");
}

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orvane-config-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path File() const { return dir_ / "Config.ini"; }
  void Put(const std::string& bytes) const { std::ofstream(File(), std::ios::binary) << bytes; }
  std::string Get() const {
    std::ifstream in(File(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // Names in the folder other than Config.ini: a leftover temporary file shows here.
  int Others() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir_)) n += e.path().filename() != "Config.ini";
    return n;
  }

  fs::path dir_;
};

TEST_F(ConfigFileTest, ReadsDefaultsAndValues) {
  HostConfigFiles files(dir_.string());
  AppConfig config{"stale", "stale"};
  ReadConfig(files, config);
  EXPECT_EQ(config.HomePage, "about:blank");
  EXPECT_EQ(config.SEO, DefaultSearchPage);

  Put("[Other]\r\nHomePage=x\r\n");
  ReadConfig(files, config);
  EXPECT_EQ(config.HomePage, "about:blank");

  Put("[IEConfig]\r\nHomePage=\r\n");
  ReadConfig(files, config);
  EXPECT_EQ(config.HomePage, "");
  EXPECT_EQ(config.SEO, DefaultSearchPage);
}

TEST_F(ConfigFileTest, WriteReplacesTheWholeFileAndReadsBack) {
  HostConfigFiles files(dir_.string());
  Put("; note\r\n[Other]\r\nA=1\r\n[IEConfig]\r\nHomePage=old\r\nExtra=2\r\n");
  const AppConfig written{"http://例子.中国/" + std::string(234, 'p'), "http://www.example.com"};
  ASSERT_EQ(written.HomePage.size(), 255u);
  WriteConfig(files, written);
  EXPECT_EQ(Get(), "[IEConfig]\r\nHomePage=" + written.HomePage + "\r\nSEO=http://www.example.com\r\n");
  EXPECT_EQ(Others(), 0);

  AppConfig read;
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, written.HomePage);
  EXPECT_EQ(read.SEO, written.SEO);
}

TEST_F(ConfigFileTest, LongValuesReadBackCut) {
  HostConfigFiles files(dir_.string());
  WriteConfig(files, {std::string(300, 'h'), std::string(254, 's') + "é"});
  AppConfig read;
  ReadConfig(files, read);
  EXPECT_EQ(read.HomePage, std::string(255, 'h'));
  EXPECT_EQ(read.SEO, std::string(254, 's'));  // the half of "é" that fitted is dropped
}

// Fails one step of a write, after doing part of it.
class FailingFiles : public HostConfigFiles {
 public:
  FailingFiles(std::string folder, bool failWrite) : HostConfigFiles(std::move(folder)), failWrite_(failWrite) {}
  bool WriteNewFile(const std::string& path, std::string_view text) override {
    if (!failWrite_) return HostConfigFiles::WriteNewFile(path, text);
    HostConfigFiles::WriteNewFile(path, text.substr(0, 5));
    return false;
  }
  bool MoveOver(const std::string&, const std::string&) override { return false; }

 private:
  bool failWrite_;
};

TEST_F(ConfigFileTest, FailedWriteLeavesTheFormerFileWhole) {
  const std::string former = "[IEConfig]\r\nHomePage=http://old\r\n";
  for (bool failWrite : {true, false}) {
    Put(former);
    FailingFiles files(dir_.string(), failWrite);
    WriteConfig(files, {"http://new", "http://new"});
    EXPECT_EQ(Get(), former) << failWrite;
    EXPECT_EQ(Others(), 0) << failWrite;
  }

  HostConfigFiles missing((dir_ / "absent").string());
  WriteConfig(missing, {"http://new", "http://new"});
  EXPECT_FALSE(fs::exists(dir_ / "absent"));
  EXPECT_EQ(Get(), former);
}

}  // namespace
}  // namespace orvane

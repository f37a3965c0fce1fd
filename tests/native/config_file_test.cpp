#include "settings/config_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "settings/config_file_native.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

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

TEST_F(ConfigFileTest, ReadsDefaultsAndWritesTheWholeFile) {
  HostConfigFiles files(dir_.string());
  AppConfig config{"stale", "stale"};
  ReadConfig(files, config);
  EXPECT_EQ(config.HomePage, "about:blank");
  EXPECT_EQ(config.SEO, DefaultSearchPage);

  Put("[IEConfig]\r\nHomePage=\r\n");
  ReadConfig(files, config);
  EXPECT_EQ(config.HomePage, "");
  EXPECT_EQ(config.SEO, DefaultSearchPage);

  // A write replaces the whole file, other sections and keys included.
  Put("; note\r\n[Other]\r\nA=1\r\n[IEConfig]\r\nHomePage=old\r\nExtra=2\r\n");
  const AppConfig written{"http://例子.中国/" + std::string(234, 'p'), "http://www.example.com"};
  ASSERT_EQ(written.HomePage.size(), 255u);
  WriteConfig(files, written);
  EXPECT_EQ(Get(), "[IEConfig]\r\nHomePage=" + written.HomePage + "\r\nSEO=http://www.example.com\r\n");
  EXPECT_EQ(Others(), 0);

  ReadConfig(files, config);
  EXPECT_EQ(config.HomePage, written.HomePage);
  EXPECT_EQ(config.SEO, written.SEO);
}

// Hands out the temporary names a planted file already holds, then a free one.
struct GuessedNames : HostConfigFiles {
  using HostConfigFiles::HostConfigFiles;
  std::string UniqueTag() override { return ++calls < 3 ? "taken" : "free"; }
  int calls = 0;
};

TEST_F(ConfigFileTest, PlantedTemporaryFileIsNeitherFollowedNorRemoved) {
  const fs::path outside = dir_ / "outside.txt";
  std::ofstream(outside) << "keep";
  fs::create_symlink(outside, dir_ / "Config.ini.taken.new");
  GuessedNames files(dir_.string());
  WriteConfig(files, {"http://new", "http://new"});
  EXPECT_EQ(Get(), ConfigFileText({"http://new", "http://new"}));
  EXPECT_EQ(files.calls, 3);
  EXPECT_TRUE(fs::is_symlink(dir_ / "Config.ini.taken.new"));
  std::ifstream in(outside);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
  EXPECT_EQ(Others(), 2);  // the link and its target, nothing of ours
}

// Fails one step of a write, after doing part of it.
struct FailingFiles : HostConfigFiles {
  FailingFiles(std::string folder, bool failWrite) : HostConfigFiles(std::move(folder)), failWrite(failWrite) {}
  NewFile WriteNewFile(const std::string& path, std::string_view text) override {
    NewFile made = HostConfigFiles::WriteNewFile(path, failWrite ? text.substr(0, 5) : text);
    return failWrite ? NewFile::Failed : made;
  }
  bool MoveOver(const std::string&, const std::string&) override { return false; }
  bool failWrite;
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

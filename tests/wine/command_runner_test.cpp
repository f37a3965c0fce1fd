#include "platform/win32/command_runner_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace orvane {
namespace {

constexpr wchar_t kMarker[] = L"planted-ran.txt";

std::wstring FileName(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring OwnPath() {
  wchar_t path[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return path;
}

// Copies of this program planted under a system program's name only leave a
// mark in their current folder and exit, before any test runs.
[[maybe_unused]] const bool kPlantedCopy = [] {
  std::wstring name = FileName(OwnPath());
  if (_wcsicmp(name.c_str(), L"regsvr32.exe") != 0 && _wcsicmp(name.c_str(), L"orvaneprobe.exe") != 0) {
    return false;
  }
  UniqueKernelHandle marker(::CreateFileW(kMarker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ::ExitProcess(0);
}();

bool WaitUntilEnded(CommandRunner& runner, const StartedProcess& process) {
  for (int i = 0; i < 750; ++i) {
    if (!runner.IsRunning(process)) return true;
    ::Sleep(20);
  }
  return false;
}

std::wstring SystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  ::GetSystemDirectoryW(path, MAX_PATH);
  return path;
}

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A scratch folder made the current one; everything is put back afterwards.
class PlantedFolder {
 public:
  PlantedFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"orvane-plant-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    previous_ = previous;
    ::SetCurrentDirectoryW(folder_.c_str());
  }
  ~PlantedFolder() {
    ::SetCurrentDirectoryW(previous_.c_str());
    for (const std::wstring& file : files_) ::DeleteFileW(file.c_str());
    ::DeleteFileW(Path(kMarker).c_str());
    ::RemoveDirectoryW(folder_.c_str());
  }
  bool Plant(const wchar_t* name) {
    files_.push_back(Path(name));
    return ::CopyFileW(OwnPath().c_str(), files_.back().c_str(), FALSE) != 0;
  }
  std::wstring Path(const wchar_t* name) const { return folder_ + L"\\" + name; }
  const std::wstring& Folder() const { return folder_; }

 private:
  std::wstring folder_, previous_;
  std::vector<std::wstring> files_;
};

TEST(Win32CommandRunner, StartsASystemProgramAndSeesItEnd) {
  Win32CommandRunner runner;
  auto started = runner.Start("regsvr32 /s jscript.dll", kShowMinimized);
  ASSERT_TRUE(started);
  EXPECT_NE(started->pid, 0u);
  EXPECT_NE(started->creationTime, 0u);
  EXPECT_TRUE(WaitUntilEnded(runner, *started));
}

TEST(Win32CommandRunner, IsRunningChecksTheCreationTime) {
  Win32CommandRunner runner;
  FILETIME created{}, exited{}, kernel{}, user{};
  ASSERT_TRUE(::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user));
  StartedProcess self{::GetCurrentProcessId(),
                      (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime};
  EXPECT_TRUE(runner.IsRunning(self));
  // Same id, another process's start: the id was reused.
  EXPECT_FALSE(runner.IsRunning({self.pid, self.creationTime + 1}));
}

TEST(Win32CommandRunner, FailsForAProgramThatCannotBeFound) {
  Win32CommandRunner runner;
  EXPECT_FALSE(runner.Start("orvane-no-such-program /s x.dll", kShowMinimized));
  EXPECT_FALSE(runner.Start("C:\\nowhere\\regsvr32.exe /s x.dll", kShowMinimized));
  EXPECT_FALSE(runner.Start("\"C:\\no where\\x.exe\" a", kShowMinimized));
  EXPECT_FALSE(runner.Start("", kShowMinimized));
  EXPECT_FALSE(runner.Start("   ", kShowMinimized));
}

TEST(Win32CommandRunner, BareNamesResolveInTheSystemFolders) {
  const std::wstring expected = SystemDirectory() + L"\\regsvr32.exe";
  for (const char* line : {"regsvr32 /s x.dll", "regsvr32.exe /s x.dll", "\"regsvr32\" /s x.dll",
                           "REGSVR32"}) {
    EXPECT_EQ(_wcsicmp(Win32CommandRunner::ProgramPath(line).c_str(), expected.c_str()), 0) << line;
  }
  std::wstring quoted = L"\"" + expected + L"\" /s x.dll";
  std::string quotedUtf8(quoted.begin(), quoted.end());
  EXPECT_EQ(_wcsicmp(Win32CommandRunner::ProgramPath(quotedUtf8).c_str(), expected.c_str()), 0);
  std::wstring explorer = Win32CommandRunner::ProgramPath("explorer.exe http://example.com/");
  ASSERT_FALSE(explorer.empty());
  EXPECT_EQ(_wcsicmp(FileName(explorer).c_str(), L"explorer.exe"), 0);
}

TEST(Win32CommandRunner, IgnoresAProgramPlantedInTheCurrentFolderOrOnThePath) {
  Win32CommandRunner runner;
  PlantedFolder folder;
  ASSERT_TRUE(folder.Plant(L"regsvr32.exe"));
  ASSERT_TRUE(folder.Plant(L"orvaneprobe.exe"));

  // The planted copy does run and leave its mark when named by its path.
  auto planted = runner.Start(".\\regsvr32.exe /s orvane-missing.dll", kShowMinimized);
  ASSERT_TRUE(planted);
  ASSERT_TRUE(WaitUntilEnded(runner, *planted));
  ASSERT_TRUE(FileExists(folder.Path(kMarker)));
  ASSERT_TRUE(::DeleteFileW(folder.Path(kMarker).c_str()));

  auto started = runner.Start("regsvr32 /s orvane-missing.dll", kShowMinimized);
  ASSERT_TRUE(started);
  ASSERT_TRUE(WaitUntilEnded(runner, *started));
  EXPECT_FALSE(FileExists(folder.Path(kMarker)));

  // A bare name is not looked up along PATH either.
  wchar_t path[32767] = {};
  ::GetEnvironmentVariableW(L"PATH", path, 32767);
  std::wstring saved = path;
  ::SetEnvironmentVariableW(L"PATH", (folder.Folder() + L";" + saved).c_str());
  EXPECT_FALSE(runner.Start("orvaneprobe", kShowMinimized));
  ::SetEnvironmentVariableW(L"PATH", saved.c_str());
  EXPECT_FALSE(FileExists(folder.Path(kMarker)));
}

}  // namespace
}  // namespace orvane

#include "platform/win32/command_runner_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/win32/unique_handle.h"

namespace orvane {
namespace {

constexpr wchar_t kMarker[] = L"planted-ran.txt";

std::wstring OwnPath() {
  wchar_t path[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return path;
}

// Copies of this program planted under a system program's name only leave a
// mark beside themselves, holding their current folder and command line, and
// exit before any test runs.
[[maybe_unused]] const bool kPlantedCopy = [] {
  std::wstring path = OwnPath(), name = path.substr(path.find_last_of(L"\\/") + 1);
  if (_wcsicmp(name.c_str(), L"regsvr32.exe") != 0 && _wcsicmp(name.c_str(), L"orvaneprobe.exe") != 0) {
    return false;
  }
  wchar_t current[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, current);
  std::wstring note = current + (L"|" + std::wstring(::GetCommandLineW()));
  std::wstring markerPath = path.substr(0, path.find_last_of(L"\\/") + 1) + kMarker;
  UniqueKernelHandle marker(::CreateFileW(markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ::WriteFile(marker.get(), note.data(), static_cast<DWORD>(note.size() * sizeof(wchar_t)), &written, nullptr);
  ::ExitProcess(0);
}();

std::wstring ReadMarker(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  std::wstring text(4096, L'\0');
  DWORD read = 0;
  if (!file || !::ReadFile(file.get(), text.data(), 8192, &read, nullptr)) return {};
  text.resize(read / sizeof(wchar_t));
  return text;
}

std::wstring SystemFolder() {
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  return system;
}

bool WaitUntilEnded(CommandRunner& runner, const std::optional<StartedProcess>& process) {
  for (int i = 0; process && i < 750; ++i, ::Sleep(20)) {
    if (!runner.IsRunning(*process)) return true;
  }
  return false;
}

TEST(Win32CommandRunner, StartsRegsvr32FailsForMissingProgramsAndChecksCreationTime) {
  Win32CommandRunner runner;
  auto started = runner.Start("regsvr32 /s jscript.dll", kShowMinimized);
  ASSERT_TRUE(started);
  EXPECT_NE(started->pid, 0u);
  EXPECT_TRUE(WaitUntilEnded(runner, started));
  for (const char* line : {"orvane-no-such-program /s x.dll", "C:\\nowhere\\regsvr32.exe /s x.dll",
                           "\"C:\\no where\\x.exe\" a", "   "}) {
    EXPECT_FALSE(runner.Start(line, kShowMinimized)) << line;
  }
  FILETIME created{}, exited{}, kernel{}, user{};
  ASSERT_TRUE(::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user));
  StartedProcess self{::GetCurrentProcessId(), (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime};
  EXPECT_TRUE(runner.IsRunning(self));
  EXPECT_FALSE(runner.IsRunning({self.pid, self.creationTime + 1}));  // same id, reused by another process
  for (const char* line : {"regsvr32 /s x.dll", "\"regsvr32\" /s x.dll", "REGSVR32.exe"}) {
    EXPECT_EQ(_wcsicmp(Win32CommandRunner::ProgramPath(line).c_str(), (SystemFolder() + L"\\regsvr32.exe").c_str()), 0)
        << line;
  }
  // Item 5's folder is the system's common files folder.
  auto common = Win32CommandRunner::SafeCommandLine(R"(regsvr32 /s "<CommonFiles>\System\Ado\msado15.dll")");
  ASSERT_TRUE(common);
  EXPECT_NE(common->find(R"(\Common Files\System\Ado\msado15.dll")"), std::string::npos) << *common;
}

TEST(Win32CommandRunner, StartsInTheSystemFolderAndIgnoresProgramsPlantedElsewhere) {
  wchar_t temp[MAX_PATH] = {}, previous[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  const std::wstring folder = temp + (L"orvane-plant-" + std::to_wstring(::GetCurrentProcessId()));
  const std::wstring marker = folder + L"\\" + kMarker;
  ::CreateDirectoryW(folder.c_str(), nullptr);
  ::SetCurrentDirectoryW(folder.c_str());
  for (const wchar_t* name : {L"\\regsvr32.exe", L"\\orvaneprobe.exe"}) {
    EXPECT_TRUE(::CopyFileW(OwnPath().c_str(), (folder + name).c_str(), FALSE));
  }
  Win32CommandRunner runner;
  // The planted copy does run when named by its path: in the system folder, its library
  // named by a full path.
  EXPECT_TRUE(WaitUntilEnded(runner, runner.Start(".\\regsvr32.exe /s jscript.dll", kShowMinimized)));
  const std::wstring note = ReadMarker(marker);
  const std::wstring expected = SystemFolder() + L"|.\\regsvr32.exe /s \"" + SystemFolder() + L"\\jscript.dll\"";
  EXPECT_EQ(_wcsicmp(note.c_str(), expected.c_str()), 0) << std::string(note.begin(), note.end());
  EXPECT_TRUE(::DeleteFileW(marker.c_str()));
  // A library that is not there is not registered, and that is no failure.
  auto skipped = runner.Start(".\\regsvr32.exe /s orvane-missing.dll", kShowMinimized);
  ASSERT_TRUE(skipped);
  EXPECT_EQ(skipped->pid, 0u);
  EXPECT_TRUE(WaitUntilEnded(runner, runner.Start("regsvr32 /s jscript.dll", kShowMinimized)));
  EXPECT_EQ(::GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
  // A bare name is not looked up along PATH either.
  std::wstring saved(32767, L'\0');
  saved.resize(::GetEnvironmentVariableW(L"PATH", saved.data(), 32767));
  ::SetEnvironmentVariableW(L"PATH", (folder + L";" + saved).c_str());
  EXPECT_FALSE(runner.Start("orvaneprobe", kShowMinimized));
  ::SetEnvironmentVariableW(L"PATH", saved.c_str());
  EXPECT_EQ(::GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);

  ::SetCurrentDirectoryW(previous);
  for (const wchar_t* name : {L"\\regsvr32.exe", L"\\orvaneprobe.exe", L"\\planted-ran.txt"}) {
    ::DeleteFileW((folder + name).c_str());
  }
  ::RemoveDirectoryW(folder.c_str());
}

// On 64-bit Windows a system library that the 32-bit folder holds too is
// registered there as well, by that folder's regsvr32 (here a planted copy
// of this program) in that folder; the pair ends as one, failed if either failed.
TEST(Win32CommandRunner, RegistersTheThirtyTwoBitFoldersCopyWithItsOwnProgram) {
  wchar_t wow[MAX_PATH] = {};
  if (::GetSystemWow64DirectoryW(wow, MAX_PATH) == 0) GTEST_SKIP() << "not 64-bit Windows";
  const std::wstring folder = wow, program = folder + L"\\regsvr32.exe", marker = folder + L"\\" + kMarker;
  const std::wstring libraries[] = {SystemFolder() + L"\\orvane-probe32.dll", folder + L"\\orvane-probe32.dll"};
  if (::GetFileAttributesW(program.c_str()) != INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "a real 32-bit regsvr32";
  ASSERT_TRUE(::CopyFileW(OwnPath().c_str(), program.c_str(), TRUE));
  for (const std::wstring& library : libraries) UniqueKernelHandle(::CreateFileW(library.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  Win32CommandRunner runner;
  auto started = runner.Start("regsvr32 /s orvane-probe32.dll", kShowMinimized);
  std::atomic<int> ended{-2};
  ASSERT_TRUE(started && runner.WhenEnded(*started, 60000, [&](std::optional<std::uint32_t> code) { ended = code ? int(*code) : -1; }));
  for (int i = 0; ended == -2 && i < 750; ++i) ::Sleep(20);
  const int refusedLibrary = ended;  // the system's regsvr32 refuses an empty library
  EXPECT_GT(refusedLibrary, 0);
  const std::wstring expected = folder + L"|\"" + program + L"\" /s \"" + libraries[1] + L"\"";
  EXPECT_EQ(_wcsicmp(ReadMarker(marker).c_str(), expected.c_str()), 0);
  // A 32-bit regsvr32 that cannot start fails the pair with its own reason.
  ASSERT_TRUE(::DeleteFileW(program.c_str()));
  UniqueKernelHandle(::CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  started = runner.Start("regsvr32 /s orvane-probe32.dll", kShowMinimized);
  ended = -2;
  ASSERT_TRUE(started && runner.WhenEnded(*started, 60000, [&](std::optional<std::uint32_t> code) { ended = code ? int(*code) : -1; }));
  for (int i = 0; ended == -2 && i < 750; ++i) ::Sleep(20);
  EXPECT_TRUE(ended > 0 && ended != refusedLibrary) << ended;
  for (const std::wstring& file : {program, marker, libraries[0], libraries[1]}) ::DeleteFileW(file.c_str());
}

}  // namespace
}  // namespace orvane

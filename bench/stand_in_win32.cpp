// Stands in for a system program (copied over regsvr32.exe in a Wine prefix,
// run with WINEDLLOVERRIDES=regsvr32.exe=n): appends its command line to
// stand-in.log beside itself, so scripts can count what was started, and
// exits 3 when its command line holds the word in stand-in-fail.txt beside
// it, else 0.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring log(self);
  log = log.substr(0, log.find_last_of(L"\\/") + 1) + L"stand-in.log";
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            0, nullptr);
  std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
  std::string bytes(line.begin(), line.end());  // the lines are ASCII
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  std::wstring failPath = log.substr(0, log.size() - 4) + L"-fail.txt";  // stand-in-fail.txt
  char word[64] = {};
  DWORD read = 0;
  HANDLE fail = CreateFileW(failPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (fail == INVALID_HANDLE_VALUE) return 0;
  ReadFile(fail, word, sizeof word - 1, &read, nullptr);
  CloseHandle(fail);
  std::string needle(word, read);
  while (!needle.empty() && (needle.back() == '\n' || needle.back() == '\r')) needle.pop_back();
  return !needle.empty() && bytes.find(needle) != std::string::npos ? 3 : 0;
}

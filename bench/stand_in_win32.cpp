// Stands in for a system program (copied over regsvr32.exe in a Wine prefix,
// run with WINEDLLOVERRIDES=regsvr32.exe=n): appends its command line to
// stand-in.log beside itself and exits 0, so scripts can count what was
// started.
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
  return 0;
}

// Test helper for the end-to-end suite: a library that only records being
// loaded, in a file beside itself named "loaded-<its file name>.txt".
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 32] = {};
  DWORD n = ::GetModuleFileNameW(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  wchar_t* name = path + n;
  while (name > path && name[-1] != L'\\' && name[-1] != L'/') --name;
  wchar_t marker[MAX_PATH + 32] = {};
  lstrcpynW(marker, path, static_cast<int>(name - path) + 1);
  lstrcatW(marker, L"loaded-");
  lstrcatW(marker, name);
  lstrcatW(marker, L".txt");
  HANDLE file = ::CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return TRUE;
}

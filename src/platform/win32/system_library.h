#pragma once
// Functions of system libraries the program needs only now and then, looked
// up on first use so that starting does not load the library.
#include <windows.h>

#include <string>

namespace orvane {

// Libraries loaded from now on come from the system folder only, never from
// the program's or the current folder: the first thing each program does.
// Looked up: older systems lack it.
inline void LoadLibrariesFromSystemOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto set = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryW(L"");  // takes the current folder out of the search where that is missing
}

// The function `name` of the system library `dll` as type F; null when either
// is missing. The library comes from the system folder and stays loaded.
template <class F>
F SystemFunction(const wchar_t* dll, const char* name) {
  wchar_t folder[MAX_PATH] = {};
  UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path = std::wstring(folder, length) + L"\\" + dll;
  HMODULE module = ::LoadLibraryW(path.c_str());
  if (module == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace orvane

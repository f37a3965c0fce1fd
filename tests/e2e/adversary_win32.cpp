// Test helper for the end-to-end suite: what unwanted software running as the
// user can plant.
//   orvane_e2e_adversary link HKCU|HKCR <path> <target path under HKCU>
//       makes <path> a registry link to the current user's <target path>
//   orvane_e2e_adversary surrogate HKCU|HKCR <path>
//       creates <path>\x<lone surrogate>y, a name that is not valid Unicode
//   orvane_e2e_adversary squat <name> <seconds>
//       holds a mutex of that name, with no window, then exits
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HKEY Root(const wchar_t* name) { return std::wcscmp(name, L"HKCR") == 0 ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER; }

// \REGISTRY\USER\<SID>\<path>: asked of the kernel for the current user's key.
std::wstring NativeUserPath(const wchar_t* path) {
  using QueryKeyFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QueryKeyFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
  HKEY key = nullptr;
  if (!query || ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  std::vector<BYTE> buffer(8192);
  ULONG size = 0;
  LONG status = query(key, 3 /* KeyNameInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &size);
  ::RegCloseKey(key);
  if (status != 0) return {};
  ULONG bytes = *reinterpret_cast<ULONG*>(buffer.data());
  return std::wstring(reinterpret_cast<wchar_t*>(buffer.data() + sizeof(ULONG)), bytes / sizeof(wchar_t));
}

int Link(HKEY root, const wchar_t* path, const wchar_t* target) {
  const std::wstring native = NativeUserPath(target);
  if (native.empty()) {
    std::fwprintf(stderr, L"target not found\n");
    return 1;
  }
  HKEY link = nullptr;
  LONG rc = ::RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS | KEY_CREATE_LINK,
                              nullptr, &link, nullptr);
  if (rc == ERROR_SUCCESS) {
    rc = ::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(native.data()),
                          static_cast<DWORD>(native.size() * sizeof(wchar_t)));
    ::RegCloseKey(link);
  }
  if (rc != ERROR_SUCCESS) std::fwprintf(stderr, L"link failed: %ld\n", rc);
  return rc == ERROR_SUCCESS ? 0 : 1;
}

int Surrogate(HKEY root, const wchar_t* path) {
  std::wstring name = std::wstring(path) + L"\\x";
  name += static_cast<wchar_t>(0xD800);
  name += L'y';
  HKEY key = nullptr;
  LONG rc = ::RegCreateKeyExW(root, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (rc == ERROR_SUCCESS) ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS) std::fwprintf(stderr, L"create failed: %ld\n", rc);
  return rc == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wcscmp(argv[1], L"link") == 0) return Link(Root(argv[2]), argv[3], argv[4]);
  if (argc == 4 && std::wcscmp(argv[1], L"surrogate") == 0) return Surrogate(Root(argv[2]), argv[3]);
  if (argc == 4 && std::wcscmp(argv[1], L"squat") == 0) {
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, argv[2]);
    if (!mutex) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(_wtoi(argv[3])) * 1000u);
    ::CloseHandle(mutex);
    return 0;
  }
  std::fwprintf(stderr, L"usage: link|surrogate|squat ...\n");
  return 2;
}

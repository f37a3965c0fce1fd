// Test helper for the end-to-end suite: what unwanted software running as the user can plant,
// and keys that refuse writes.
//   link HKCU|HKCR <path> <target>  makes <path> a registry link to HKCU\<target>
//   surrogate HKCU|HKCR <path>      creates <path>\x<lone surrogate>y
//   squat <name> <seconds>          holds a mutex of that name, with no window
//   squat-event <name> <seconds>    holds an event of that name that anyone may open
//   lock|unlock HKCU|HKLM|HKCR <path>  makes a key read-only for everyone, or gives full access back
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// \REGISTRY\USER\<SID>\<path>, asked of the kernel.
std::wstring NativeUserPath(const wchar_t* path) {
  using QueryKeyFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QueryKeyFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
  HKEY key = nullptr;
  std::vector<BYTE> buffer(8192);
  ULONG size = 0;
  if (!query || ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  LONG status = query(key, 3 /* KeyNameInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &size);
  ::RegCloseKey(key);
  if (status != 0) return {};
  return {reinterpret_cast<wchar_t*>(buffer.data() + sizeof(ULONG)), *reinterpret_cast<ULONG*>(buffer.data()) / 2};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring verb = argc > 1 ? argv[1] : L"";
  if ((verb == L"squat" || verb == L"squat-event") && argc == 4) {
    HANDLE mutex = verb == L"squat" ? ::CreateMutexW(nullptr, TRUE, argv[2])
                                    : ::CreateEventW(nullptr, TRUE, FALSE, argv[2]);
    std::printf(mutex ? "held\n" : "failed\n");
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(_wtoi(argv[3])) * 1000u);
    return mutex ? 0 : 1;
  }
  if ((verb != L"link" || argc != 5) && (verb == L"link" || argc != 4)) return 2;
  HKEY root = std::wcscmp(argv[2], L"HKCR") == 0   ? HKEY_CLASSES_ROOT
              : std::wcscmp(argv[2], L"HKLM") == 0 ? HKEY_LOCAL_MACHINE
                                                   : HKEY_CURRENT_USER;
  HKEY key = nullptr;
  if (verb == L"lock" || verb == L"unlock") {
    PSECURITY_DESCRIPTOR sd = nullptr;
    LONG rc = ::RegCreateKeyExW(root, argv[3], 0, nullptr, 0, KEY_READ | WRITE_DAC, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS && !::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                   verb == L"lock" ? L"D:P(A;;KR;;;WD)" : L"D:P(A;;KA;;;WD)", SDDL_REVISION_1, &sd, nullptr)) {
      rc = static_cast<LONG>(::GetLastError());
    }
    if (rc == ERROR_SUCCESS) rc = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, sd);
    ::LocalFree(sd);
    if (key) ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS) std::fwprintf(stderr, L"%ls failed: %ld\n", argv[1], rc);
    return rc == ERROR_SUCCESS ? 0 : 1;
  }
  const std::wstring target = verb == L"link" ? NativeUserPath(argv[4]) : L"";
  std::wstring path = argv[3];
  if (verb == L"surrogate") path += std::wstring(L"\\x") + static_cast<wchar_t>(0xD800) + L"y";
  LONG rc = verb == L"link" && target.empty() ? ERROR_FILE_NOT_FOUND
            : ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, verb == L"link" ? REG_OPTION_CREATE_LINK : 0,
                                KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr);
  if (rc == ERROR_SUCCESS && verb == L"link") {
    rc = ::RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()),
                          static_cast<DWORD>(target.size() * sizeof(wchar_t)));
  }
  if (key) ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS) std::fwprintf(stderr, L"%ls failed: %ld\n", argv[1], rc);
  return rc == ERROR_SUCCESS ? 0 : 1;
}

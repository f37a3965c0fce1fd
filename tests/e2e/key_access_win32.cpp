// Test helper for the end-to-end suite: makes a registry key read-only for
// everyone, or gives full access back.
//   orvane_e2e_keyaccess lock|unlock HKCU|HKLM|HKCR <path>
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fwprintf(stderr, L"usage: lock|unlock HKCU|HKLM|HKCR path\n");
    return 2;
  }
  const bool lock = std::wcscmp(argv[1], L"lock") == 0;
  HKEY root = std::wcscmp(argv[2], L"HKLM") == 0   ? HKEY_LOCAL_MACHINE
              : std::wcscmp(argv[2], L"HKCR") == 0 ? HKEY_CLASSES_ROOT
                                                   : HKEY_CURRENT_USER;
  HKEY key = nullptr;
  LONG rc = ::RegCreateKeyExW(root, argv[3], 0, nullptr, 0, KEY_READ | WRITE_DAC, nullptr, &key,
                              nullptr);
  if (rc != ERROR_SUCCESS) {
    std::fwprintf(stderr, L"open failed: %ld\n", rc);
    return 1;
  }
  PSECURITY_DESCRIPTOR sd = nullptr;
  const wchar_t* sddl = lock ? L"D:P(A;;KR;;;WD)" : L"D:P(A;;KA;;;WD)";
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) {
    std::fwprintf(stderr, L"bad descriptor\n");
    ::RegCloseKey(key);
    return 1;
  }
  rc = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, sd);
  ::LocalFree(sd);
  ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    std::fwprintf(stderr, L"set security failed: %ld\n", rc);
    return 1;
  }
  return 0;
}

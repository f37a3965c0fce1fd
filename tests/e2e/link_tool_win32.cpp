// Test helper for the end-to-end suite: plants and reads a shortcut on the
// user's desktop through the shell's link object.
//   orvane_e2e_link make NAME TARGET ARGUMENTS   prints the .lnk's path
//   orvane_e2e_link args NAME                    prints its arguments
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring DesktopLink(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, folder))) return {};
  return std::wstring(folder) + L"\\" + name + L".lnk";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3 || ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) < 0) return 2;
  const std::wstring path = DesktopLink(argv[2]);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    return 1;
  }
  int rc = 1;
  if (std::wcscmp(argv[1], L"make") == 0 && argc == 5) {
    link->SetPath(argv[3]);
    link->SetArguments(argv[4]);
    if (SUCCEEDED(file->Save(path.c_str(), TRUE))) {
      std::wprintf(L"%ls\n", path.c_str());
      rc = 0;
    }
  } else if (std::wcscmp(argv[1], L"args") == 0) {
    wchar_t args[INFOTIPSIZE] = {};
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ)) && SUCCEEDED(link->GetArguments(args, INFOTIPSIZE))) {
      std::wprintf(L"%ls\n", args);
      rc = 0;
    }
  }
  file->Release();
  link->Release();
  ::CoUninitialize();
  return rc;
}

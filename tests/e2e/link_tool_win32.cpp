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

int wmain(int argc, wchar_t** argv) {
  wchar_t folder[MAX_PATH] = {}, args[INFOTIPSIZE] = {};
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (argc < 3 || FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) ||
      FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, folder)) ||
      FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    return 2;
  }
  const std::wstring path = std::wstring(folder) + L"\\" + argv[2] + L".lnk";
  if (std::wcscmp(argv[1], L"make") == 0 && argc == 5) {
    link->SetPath(argv[3]);
    link->SetArguments(argv[4]);
    if (FAILED(file->Save(path.c_str(), TRUE))) return 1;
    std::wprintf(L"%ls\n", path.c_str());
  } else if (FAILED(file->Load(path.c_str(), STGM_READ)) || FAILED(link->GetArguments(args, INFOTIPSIZE))) {
    return 1;
  } else {
    std::wprintf(L"%ls\n", args);
  }
  file->Release();
  link->Release();
  return 0;
}

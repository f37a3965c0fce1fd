#include "browsers/win32/shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>

#include "browsers/user_places.h"
#include "platform/text.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "resources/catalogue.h"

namespace orvane {
namespace {

// Holds one reference to a COM object.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  void** put() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;

// Deep enough for any Start menu; a loop the attributes do not show stops here.
constexpr int kMaxDepth = 12;

std::string Reason(HRESULT result) {
  wchar_t* text = nullptr;
  ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = text ? Narrow(text) : std::string();
  if (text) ::LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) {
    reason.pop_back();
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  return reason.empty() ? code : reason + " (" + code + ")";
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::string folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) folder = Narrow(path);
  ::CoTaskMemFree(path);
  return folder;
}

std::string Expand(const std::wstring& text) {
  DWORD size = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (size == 0) return Narrow(text);
  std::wstring out(size, L'\0');
  size = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), size);
  out.resize(size ? size - 1 : 0);
  return Narrow(out);
}

// A junction, a symbolic link or a mount point; a placeholder of a file kept
// in the cloud is the file itself.
bool IsLink(DWORD attributes, DWORD tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (tag & ~static_cast<DWORD>(IO_REPARSE_TAG_CLOUD_MASK)) != static_cast<DWORD>(IO_REPARSE_TAG_CLOUD);
}

bool IsLink(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  UniqueFind find(::FindFirstFileW(path.c_str(), &found));
  return find && IsLink(found.dwFileAttributes, found.dwReserved0);
}

void Walk(const std::wstring& folder, bool recursive, bool confined, int depth, std::vector<std::string>& out) {
  WIN32_FIND_DATAW found;
  UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!find) return;
  std::vector<std::wstring> subfolders;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (recursive && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) subfolders.push_back(name);
    } else if (confined && IsLink(found.dwFileAttributes, found.dwReserved0)) {
      continue;
    } else if (name.size() > 4 && EqualsNoCase(Narrow(name.substr(name.size() - 4)), ".lnk")) {
      out.push_back(Narrow(folder + L"\\" + name));
    }
  } while (::FindNextFileW(find.get(), &found));
  if (depth >= kMaxDepth) return;
  for (const std::wstring& name : subfolders) Walk(folder + L"\\" + name, true, confined, depth + 1, out);
}

// A read-only attribute, as a hijacker leaves it to stop cleaners, lifted
// while the file is changed and put back afterwards unless the file is gone.
class Writable {
 public:
  explicit Writable(const std::wstring& path) : path_(path), attributes_(::GetFileAttributesW(path.c_str())) {
    if (attributes_ != INVALID_FILE_ATTRIBUTES && (attributes_ & FILE_ATTRIBUTE_READONLY)) {
      lifted_ = ::SetFileAttributesW(path.c_str(), attributes_ & ~FILE_ATTRIBUTE_READONLY) != 0;
    }
  }
  ~Writable() {
    if (lifted_ && ::GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ::SetFileAttributesW(path_.c_str(), attributes_);
    }
  }
  Writable(const Writable&) = delete;
  Writable& operator=(const Writable&) = delete;

 private:
  std::wstring path_;
  DWORD attributes_;
  bool lifted_ = false;
};

}  // namespace

ComScope::ComScope() {
  started_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

ComScope::~ComScope() {
  if (started_) ::CoUninitialize();
}

std::vector<ShortcutFolder> StandardShortcutFolders(bool own) {
  std::vector<ShortcutFolder> folders;
  auto add = [&](const std::string& path, bool recursive) {
    if (!path.empty()) folders.push_back({path, recursive});
  };
  if (own) add(KnownFolder(FOLDERID_Desktop), false);
  add(KnownFolder(FOLDERID_PublicDesktop), false);
  if (own) add(KnownFolder(FOLDERID_StartMenu), true);
  add(KnownFolder(FOLDERID_CommonStartMenu), true);
  if (!own) return folders;
  std::string quickLaunch = KnownFolder(FOLDERID_QuickLaunch);
  if (quickLaunch.empty()) {
    const std::string roaming = KnownFolder(FOLDERID_RoamingAppData);
    if (!roaming.empty()) quickLaunch = roaming + R"(\Microsoft\Internet Explorer\Quick Launch)";
  }
  if (!quickLaunch.empty()) {
    add(quickLaunch, false);
    add(quickLaunch + R"(\User Pinned\TaskBar)", false);
    add(quickLaunch + R"(\User Pinned\StartMenu)", false);
  }
  return folders;
}

std::vector<std::string> FindShortcutFiles(const std::vector<ShortcutFolder>& folders) {
  std::vector<std::string> found, files;
  for (const ShortcutFolder& folder : folders) {
    const bool confined = !folder.within.empty();
    if (!confined || NoLinkOnTheWay(folder.within, folder.path)) {
      Walk(Wide(folder.path), folder.recursive, confined, 0, found);
    }
  }
  // Two names for one folder (a public desktop that is the user's) give each file once.
  for (std::string& path : found) {
    if (std::none_of(files.begin(), files.end(), [&](const std::string& f) { return EqualsNoCase(f, path); })) {
      files.push_back(std::move(path));
    }
  }
  return files;
}

// A link object. COM finds its library by a bare name, which Wine's loader
// refuses once libraries come from the system folder only: then it is made
// through the shell's own class factory, loaded from the system folder.
HRESULT CreateShellLink(void** link) {
  HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link);
  if (SUCCEEDED(result)) return result;
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  const auto get = SystemFunction<GetClassObject>(L"shell32.dll", "DllGetClassObject");
  ComRef<IClassFactory> factory;
  if (get == nullptr || FAILED(get(CLSID_ShellLink, IID_IClassFactory, factory.put()))) return result;
  return factory->CreateInstance(nullptr, IID_IShellLinkW, link);
}

bool NoLinkOnTheWay(const std::string& folder, const std::string& path) {
  if (!LiesWithin(path, folder)) return false;
  std::wstring step = Wide(folder);
  if (IsLink(step)) return false;
  const std::wstring rest = Wide(path.substr(folder.size()));
  for (std::size_t at = rest.find_first_not_of(L'\\'); at != std::wstring::npos && at < rest.size();) {
    const std::size_t end = std::min(rest.find(L'\\', at), rest.size());
    step += L"\\" + rest.substr(at, end - at);
    if (IsLink(step)) return false;
    at = end + 1;
  }
  return true;
}

std::vector<std::string> Win32ShortcutStore::ListIn(const std::vector<ShortcutFolder>& folders) {
  for (const ShortcutFolder& folder : folders) {
    if (!folder.within.empty()) confined_.push_back(folder.within);
  }
  return FindShortcutFiles(folders);
}

std::string Win32ShortcutStore::Refusal(const std::string& path) const {
  for (const std::string& folder : confined_) {
    if (LiesWithin(path, folder) && !NoLinkOnTheWay(folder, path)) return LoadString(3980);
  }
  return {};
}

ShortcutRead Win32ShortcutStore::Read(const std::string& path) {
  std::string refusal = Refusal(path);
  return refusal.empty() ? ReadShortcut(path) : ShortcutRead{{path, "", ""}, std::move(refusal)};
}

std::string Win32ShortcutStore::SaveArguments(const std::string& path, const std::string& arguments) {
  std::string refusal = Refusal(path);
  return refusal.empty() ? SaveShortcutArguments(path, arguments) : refusal;
}

std::string Win32ShortcutStore::Delete(const std::string& path) {
  std::string refusal = Refusal(path);
  return refusal.empty() ? DeleteShortcut(path) : refusal;
}

ShortcutRead ReadShortcut(const std::string& path) {
  ShortcutRead read;
  read.info.path = path;
  ComRef<IShellLinkW> link;
  ComRef<IPersistFile> file;
  HRESULT result = CreateShellLink(link.put());
  if (SUCCEEDED(result)) result = link->QueryInterface(IID_IPersistFile, file.put());
  if (SUCCEEDED(result)) result = file->Load(Wide(path).c_str(), STGM_READ);
  if (FAILED(result)) {
    read.error = Reason(result);
    return read;
  }
  std::wstring buffer(32768, L'\0');
  if (link->GetPath(buffer.data(), MAX_PATH * 4, nullptr, 0) == S_OK) read.info.target = Expand(buffer.c_str());
  buffer.assign(buffer.size(), L'\0');
  if (SUCCEEDED(link->GetArguments(buffer.data(), static_cast<int>(buffer.size())))) {
    read.info.arguments = Narrow(buffer.c_str());
  }
  buffer.assign(buffer.size(), L'\0');
  int index = 0;
  if (SUCCEEDED(link->GetIconLocation(buffer.data(), MAX_PATH * 4, &index))) {
    read.info.iconPath = Expand(buffer.c_str());
  }
  return read;
}

std::string SaveShortcutArguments(const std::string& path, const std::string& arguments) {
  ComRef<IShellLinkW> link;
  ComRef<IPersistFile> file;
  const std::wstring widePath = Wide(path);
  Writable writable(widePath);
  HRESULT result = CreateShellLink(link.put());
  if (SUCCEEDED(result)) result = link->QueryInterface(IID_IPersistFile, file.put());
  if (SUCCEEDED(result)) result = file->Load(widePath.c_str(), STGM_READWRITE);
  if (SUCCEEDED(result)) result = link->SetArguments(Wide(arguments).c_str());
  if (SUCCEEDED(result)) result = file->Save(widePath.c_str(), TRUE);
  return FAILED(result) ? Reason(result) : std::string();
}

std::string DeleteShortcut(const std::string& path) {
  const std::wstring widePath = Wide(path);
  Writable writable(widePath);
  if (::DeleteFileW(widePath.c_str())) return {};
  return Reason(HRESULT_FROM_WIN32(::GetLastError()));
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace orvane

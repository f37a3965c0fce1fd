#include "platform/win32/file_store_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdio>

#include "platform/text.h"
#include "platform/win32/own_file_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orvane {
namespace {

struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;

}  // namespace

namespace {

std::string Environment(const wchar_t* name) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH * 2);
  return n > 0 && n < MAX_PATH * 2 ? Narrow({buffer, static_cast<std::size_t>(n)}) : std::string();
}

struct LocalFreeTraits {
  static PSECURITY_DESCRIPTOR Invalid() { return nullptr; }
  static bool IsValid(PSECURITY_DESCRIPTOR p) { return p != nullptr; }
  static void Close(PSECURITY_DESCRIPTOR p) { ::LocalFree(p); }
};
using UniqueSecurity = UniqueHandle<PSECURITY_DESCRIPTOR, LocalFreeTraits>;

bool WellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) { return ::IsWellKnownSid(sid, type) != FALSE; }

// Wine keeps no security descriptors on files, so no folder there could pass.
bool UnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

std::vector<BYTE> ProcessUser() {
  std::vector<BYTE> sid;
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return sid;
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (!size || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return sid;
  PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  sid.assign(static_cast<BYTE*>(user), static_cast<BYTE*>(user) + ::GetLengthSid(user));
  return sid;
}

}  // namespace

FolderProblem FolderSecurityProblem(PSECURITY_DESCRIPTOR security, PSID self) {
  auto trusted = [self](PSID sid) {
    return WellKnown(sid, WinLocalSystemSid) || WellKnown(sid, WinBuiltinAdministratorsSid) ||
           (self && ::EqualSid(sid, self));
  };
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL dacl = nullptr;
  if (!::GetSecurityDescriptorOwner(security, &owner, &defaulted) || !owner || !trusted(owner)) {
    return FolderProblem::Owner;
  }
  if (!::GetSecurityDescriptorDacl(security, &present, &dacl, &defaulted) || !present || !dacl) {
    return FolderProblem::OthersMayWrite;
  }
  constexpr ACCESS_MASK kChanges = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                   FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                   GENERIC_ALL | MAXIMUM_ALLOWED;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) return FolderProblem::Unreadable;
    const auto* header = static_cast<ACE_HEADER*>(ace);
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return FolderProblem::OthersMayWrite;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    PSID sid = const_cast<DWORD*>(&allowed->SidStart);
    if ((allowed->Mask & kChanges) && !trusted(sid)) return FolderProblem::OthersMayWrite;
  }
  return FolderProblem::None;
}

std::string Win32FileStore::MachineDataFolder() { return Environment(L"ProgramData"); }

bool Win32FileStore::Elevated() {
  BYTE admins[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof admins;
  BOOL member = FALSE;
  return ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &size) &&
         ::CheckTokenMembership(nullptr, admins, &member) && member;
}

FolderCheck Win32FileStore::ProtectFolder(const std::string& parent, const std::vector<std::string>& below) {
  // Administrators and SYSTEM full control, signed-in users read, nothing inherited.
  UniqueSecurity wanted;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
          L"O:BAG:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;AU)", SDDL_REVISION_1, wanted.put(), nullptr)) {
    return {FolderProblem::Unreadable, parent};
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, wanted.get(), FALSE};
  std::vector<BYTE> self = UnderWine() ? ProcessUser() : std::vector<BYTE>();
  std::string path;
  for (std::size_t slash = parent.find('\\', 3);; slash = parent.find('\\', slash + 1)) {
    path = parent.substr(0, slash);
    const DWORD found = ::GetFileAttributesW(Wide(path).c_str());
    if (found == INVALID_FILE_ATTRIBUTES || !(found & FILE_ATTRIBUTE_DIRECTORY)) return {FolderProblem::NotFolder, path};
    if (found & FILE_ATTRIBUTE_REPARSE_POINT) return {FolderProblem::Link, path};
    if (slash == std::string::npos) break;
  }
  for (const std::string& name : below) {
    path += "\\" + name;
    const std::wstring wide = Wide(path);
    ::CreateDirectoryW(wide.c_str(), &attributes);
    UniqueKernelHandle folder(::CreateFileW(wide.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                            nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !::GetFileInformationByHandle(folder.get(), &info)) return {FolderProblem::NotFolder, path};
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return {FolderProblem::NotFolder, path};
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return {FolderProblem::Link, path};
    if (!HandleIsAt(folder.get(), wide)) return {FolderProblem::Link, path};
    UniqueSecurity security;
    if (::GetSecurityInfo(folder.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                          nullptr, nullptr, nullptr, nullptr, security.put()) != ERROR_SUCCESS) {
      return {FolderProblem::Unreadable, path};
    }
    const FolderProblem problem = FolderSecurityProblem(security.get(), self.empty() ? nullptr : self.data());
    if (problem != FolderProblem::None) return {problem, path};
  }
  return {};
}

std::string Win32FileStore::LocalAppDataFolder() { return Environment(L"LOCALAPPDATA"); }

bool Win32FileStore::CreateFolder(const std::string& path) {
  for (std::size_t slash = path.find('\\', 3);; slash = path.find('\\', slash + 1)) {
    ::CreateDirectoryW(Wide(path.substr(0, slash)).c_str(), nullptr);
    if (slash == std::string::npos) break;
  }
  DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::unique_ptr<OwnFile> Win32FileStore::CreateNew(const std::string& path, CreateResult& result) {
  return Win32OwnFile::Create(path, result);
}

std::optional<std::string> Win32FileStore::ReadFile(const std::string& path) {
  UniqueKernelHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  HANDLE h = file.get();
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  BOOL ok = FALSE;
  while ((ok = ::ReadFile(h, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes.append(buffer, read);
  if (!ok) return std::nullopt;  // a part read is no file
  return bytes;
}

std::optional<std::string> Win32FileStore::ReadFileHead(const std::string& path, std::size_t limit) {
  UniqueKernelHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(limit + 1, '\0');
  std::size_t have = 0;
  DWORD read = 0;
  while (have < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, 1u << 20));
    if (!::ReadFile(file.get(), bytes.data() + have, want, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    have += read;
  }
  bytes.resize(have);
  return bytes;
}

void Win32FileStore::RemoveOld(const std::string& path) {
  const std::wstring wide = Wide(path);
  UniqueKernelHandle file(::CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file || !HandleIsAt(file.get(), wide)) return;
  FILE_DISPOSITION_INFO dispose{TRUE};
  ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

namespace {

constexpr int kFolderDepth = 8;  // real folders inside a removed one, at most

// Opens the name itself: a link there is opened as the link, never followed.
UniqueKernelHandle OpenName(const std::wstring& path, DWORD access, DWORD share) {
  return UniqueKernelHandle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

void RemoveTree(const std::wstring& path, int depth) {
  // Held without FILE_SHARE_DELETE, the folder cannot be swapped for a link while it is emptied.
  UniqueKernelHandle entry = OpenName(path, DELETE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!entry || !HandleIsAt(entry.get(), path) || !::GetFileInformationByHandle(entry.get(), &info)) return;
  const DWORD kind = info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
  if (kind == FILE_ATTRIBUTE_DIRECTORY && depth < kFolderDepth) {
    // Listed through the handle held, not by the name.
    std::vector<std::wstring> names;
    alignas(8) BYTE buffer[16384];
    while (::GetFileInformationByHandleEx(entry.get(), FileIdBothDirectoryInfo, buffer, sizeof buffer)) {
      for (DWORD at = 0;;) {
        const auto* item = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
        std::wstring name(item->FileName, item->FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") names.push_back(std::move(name));
        if (!item->NextEntryOffset) break;
        at += item->NextEntryOffset;
      }
    }
    for (const std::wstring& name : names) RemoveTree(path + L"\\" + name, depth + 1);
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  ::SetFileInformationByHandle(entry.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

}  // namespace

void Win32FileStore::RemoveOldFolder(const std::string& path) { RemoveTree(Wide(path), 0); }

std::vector<std::string> Win32FileStore::ListFiles(const std::string& folder, std::string_view suffix) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  UniqueFind find(::FindFirstFileW(Wide(folder + "\\*").c_str(), &data));
  if (!find) return names;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = Narrow(data.cFileName);
    if (name.size() > suffix.size() && EqualsNoCase(name.substr(name.size() - suffix.size()), suffix)) {
      names.push_back(std::move(name));
    }
  } while (::FindNextFileW(find.get(), &data));
  return names;
}

std::string Win32FileStore::LocalTimeStamp() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u_%02u-%02u-%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

std::string Win32FileStore::UniversalTime() {
  SYSTEMTIME t;
  ::GetSystemTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

}  // namespace orvane

#include "platform/win32/file_store_win32.h"

#include <windows.h>

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

Win32FileStore::Win32FileStore() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::string full = Narrow(path);
  std::size_t slash = full.rfind('\\');
  folder_ = slash == std::string::npos ? std::string() : full.substr(0, slash == 2 ? 3 : slash);
}

std::string Win32FileStore::LocalAppDataFolder() {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH * 2);
  return n > 0 && n < MAX_PATH * 2 ? Narrow({buffer, static_cast<std::size_t>(n)}) : std::string();
}

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

}  // namespace orvane

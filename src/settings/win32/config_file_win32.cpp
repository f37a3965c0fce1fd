#include "settings/win32/config_file_win32.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/text.h"
#include "platform/win32/own_file_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orvane {
namespace {

std::string WideToAnsi(const std::wstring& wide, DWORD flags, bool* lossy) {
  if (wide.empty()) return {};
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = lossy ? &usedDefault : nullptr;
  int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), nullptr,
                              0, nullptr, usedDefaultOut);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, usedDefaultOut);
  }
  if (lossy) *lossy = usedDefault != FALSE || n <= 0;
  return out;
}

// The file's bytes: the ANSI code page while every character fits it (what other readers
// of the file expect), else UTF-16LE with a byte-order mark, which the profile functions
// read as Unicode.
std::string FileBytes(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  if (GetACP() == CP_UTF8) return WideToAnsi(wide, 0, nullptr);
  bool lossy = false;
  std::string ansi = WideToAnsi(wide, WC_NO_BEST_FIT_CHARS, &lossy);
  if (!lossy) return ansi;
  std::string bytes = "\xFF\xFE";
  for (wchar_t unit : wide) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
  }
  return bytes;
}

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Wide(utf8), 0, nullptr); }

std::string ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return FolderOfProgram(Narrow(path));
}

WindowsConfigFiles::WindowsConfigFiles() : folder_(ExecutableFolder()) {}

// The file's first bytes, up to a limit no configuration file reaches.
static std::string FileStart(const std::string& path) {
  constexpr DWORD kLimit = 1u << 20;
  UniqueKernelHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes(kLimit, '\0');
  DWORD read = 0;
  if (!file || !ReadFile(file.get(), bytes.data(), kLimit, &read, nullptr)) return {};
  bytes.resize(read);
  return bytes;
}

// A file saved as UTF-8 without a byte-order mark is read as UTF-8 (the profile functions
// would take it for the ANSI code page); every other file as they read it.
std::string WindowsConfigFiles::ReadString(const std::string& path, std::string_view section,
                                           std::string_view key, std::string_view fallback) {
  const std::string start = FileStart(path);
  if (IsUtf8Text(start) && !start.starts_with("\xEF\xBB\xBF")) {
    return IniValue(start, section, key).value_or(std::string(fallback));
  }
  constexpr std::size_t kLargest = std::size_t{1} << 20;
  const std::wstring widePath = Wide(path), wideSection = Wide(section), wideKey = Wide(key);
  const std::wstring wideFallback = Wide(fallback);
  // Grown until the value fits: a full buffer may hold only the start of it.
  std::vector<wchar_t> buffer(256);
  for (;;) {
    DWORD n = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideFallback.c_str(),
                                       buffer.data(), static_cast<DWORD>(buffer.size()),
                                       widePath.c_str());
    if (n + 1 < buffer.size() || buffer.size() >= kLargest) {
      std::size_t length = wcsnlen(buffer.data(), buffer.size() - 1);
      return Narrow(std::wstring(buffer.data(), n < length ? n : length));
    }
    buffer.assign(buffer.size() * 4, L'\0');
  }
}

NewFile WindowsConfigFiles::WriteNewFile(const std::string& path, std::string_view text) {
  CreateResult result = CreateResult::Failed;
  std::unique_ptr<Win32OwnFile> file = Win32OwnFile::Create(path, result);
  if (!file) {
    lastError_ = static_cast<long>(GetLastError());
    return result == CreateResult::Taken ? NewFile::Exists : NewFile::Failed;
  }
  const bool written = file->Write(FileBytes(text));
  if (!written) lastError_ = static_cast<long>(GetLastError());
  made_[path] = std::move(file);
  return written ? NewFile::Written : NewFile::Failed;
}

// Only files this object made are moved or removed, through the handle that made them.
bool WindowsConfigFiles::MoveOver(const std::string& from, const std::string& to) {
  // A read-only Config.ini stays as it is; some file systems rename over one regardless.
  DWORD attributes = GetFileAttributesW(Wide(to).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    lastError_ = ERROR_ACCESS_DENIED;
    return false;
  }
  auto it = made_.find(from);
  if (it == made_.end()) return false;
  const bool moved = it->second->MoveOver(to);
  if (moved) made_.erase(it);
  else lastError_ = static_cast<long>(GetLastError());
  return moved;
}

void WindowsConfigFiles::Remove(const std::string& path) {
  auto it = made_.find(path);
  if (it == made_.end()) return;
  it->second->Discard();
  made_.erase(it);
}

std::string WindowsConfigFiles::UniqueTag() {
  static unsigned counter = 0;
  char tag[48];
  std::snprintf(tag, sizeof tag, "%lx-%llx-%x", GetCurrentProcessId(),
                static_cast<unsigned long long>(GetTickCount64()), ++counter);
  return tag;
}

}  // namespace orvane

#include "settings/win32/config_file_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/text.h"
#include "settings/ini_lookup.h"

namespace orvane {
namespace {

std::wstring Wide(std::string_view utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Utf8(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

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

// The path as GetPrivateProfileStringA takes it. A folder name the code page cannot spell
// is tried as its short name; empty when neither works.
std::string AnsiPath(const std::string& utf8Path) {
  std::wstring wide = Wide(utf8Path);
  bool lossy = false;
  std::string ansi = WideToAnsi(wide, WC_NO_BEST_FIT_CHARS, &lossy);
  if (!lossy) return ansi;
  DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring shortPath(size, L'\0');
  size = GetShortPathNameW(wide.c_str(), shortPath.data(), size);
  if (size == 0 || size >= shortPath.size()) return {};
  shortPath.resize(size);
  ansi = WideToAnsi(shortPath, WC_NO_BEST_FIT_CHARS, &lossy);
  return lossy ? std::string() : ansi;
}

// Owns a file handle.
struct FileHandle {
  HANDLE h;
  explicit FileHandle(HANDLE handle) : h(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }
  bool Close() {
    bool ok = h == INVALID_HANDLE_VALUE || CloseHandle(h) != FALSE;
    h = INVALID_HANDLE_VALUE;
    return ok;
  }
};

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Wide(utf8), 0, nullptr); }

std::string AnsiToUtf8(std::string_view ansi) {
  // Drop a lead byte whose second byte was cut off.
  std::size_t size = 0;
  while (size < ansi.size()) {
    bool lead = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(ansi[size])) != FALSE;
    if (lead && size + 1 == ansi.size()) break;
    size += lead ? 2 : 1;
  }
  if (size == 0) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(size), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(size), wide.data(), n);
  return Utf8(wide);
}

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
  return FolderOfProgram(Utf8(path));
}

WindowsConfigFiles::WindowsConfigFiles() : folder_(ExecutableFolder()) {}

std::string WindowsConfigFiles::ReadString(const std::string& path, std::string_view section,
                                           std::string_view key, std::string_view fallback) {
  const std::string ansiFallback = Utf8ToAnsi(fallback);
  const std::string ansiPath = AnsiPath(path);
  if (ansiPath.empty()) return AnsiToUtf8(ProfileString(std::nullopt, section, key, ansiFallback));
  char buffer[kProfileBufferSize] = {};
  DWORD n = GetPrivateProfileStringA(Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(),
                                     ansiFallback.c_str(), buffer, sizeof buffer,
                                     ansiPath.c_str());
  // Take what it reports, but never past the zero it wrote.
  std::size_t length = strnlen(buffer, sizeof buffer - 1);
  if (n < length) length = n;
  return AnsiToUtf8(std::string_view(buffer, length));
}

bool WindowsConfigFiles::WriteNewFile(const std::string& path, std::string_view text) {
  const std::string bytes = Utf8ToAnsi(text);
  FileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.h == INVALID_HANDLE_VALUE) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() - done);
    if (!WriteFile(file.h, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  if (!FlushFileBuffers(file.h)) return false;
  return file.Close();
}

bool WindowsConfigFiles::MoveOver(const std::string& from, const std::string& to) {
  // A read-only Config.ini stays as it is; some file systems rename over one regardless.
  const std::wstring target = Wide(to);
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  return MoveFileExW(Wide(from).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void WindowsConfigFiles::Remove(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

}  // namespace orvane

#include "platform/win32/own_file_win32.h"

#include <windows.h>

#include <vector>

#include "platform/text.h"
#include "platform/win32/wide_text.h"

namespace orvane {
namespace {

std::wstring FullPath(const std::wstring& path) {
  DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(n);
  return full;
}

std::wstring WithoutPrefix(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + path.substr(7);
  if (path.starts_with(L"\\\\?\\")) return path.substr(4);
  return path;
}

}  // namespace

bool HandleIsAt(HANDLE file, const std::wstring& path) {
  std::wstring final(MAX_PATH, L'\0');
  DWORD n = ::GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
  if (n >= final.size()) {
    final.resize(n + 1);
    n = ::GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
  }
  if (n == 0 || n >= final.size()) return false;
  final.resize(n);
  const std::wstring expected = FullPath(path);
  return !expected.empty() && EqualsNoCase(Narrow(WithoutPrefix(final)), Narrow(WithoutPrefix(expected)));
}

std::unique_ptr<Win32OwnFile> Win32OwnFile::Create(const std::string& path, CreateResult& result) {
  const std::wstring wide = Wide(path);
  UniqueKernelHandle file(::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    result = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED
                 ? CreateResult::Taken
                 : CreateResult::Failed;
    // Access denied also answers a name held by a folder or a file pending deletion.
    if (error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) {
      result = CreateResult::Failed;
    }
    return nullptr;
  }
  std::unique_ptr<Win32OwnFile> made(new Win32OwnFile(std::move(file), path));
  if (!HandleIsAt(made->file_.get(), wide)) {
    made->Discard();  // new, so ours wherever it landed
    result = CreateResult::Failed;
    return nullptr;
  }
  result = CreateResult::Created;
  return made;
}

bool Win32OwnFile::WriteAt(DWORD origin, std::string_view bytes) {
  if (!file_) return false;
  HANDLE h = file_.get();
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(h, start, nullptr, origin)) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!::WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return ::SetEndOfFile(h) && ::FlushFileBuffers(h);
}

bool Win32OwnFile::Write(std::string_view bytes) { return WriteAt(FILE_BEGIN, bytes); }

bool Win32OwnFile::Append(std::string_view bytes) { return WriteAt(FILE_END, bytes); }

void Win32OwnFile::Discard() {
  if (!file_) return;
  FILE_DISPOSITION_INFO dispose{TRUE};
  ::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &dispose, sizeof dispose);
  file_.reset();
}

bool Win32OwnFile::MoveOver(const std::string& target) {
  if (!file_) return false;
  const std::wstring to = FullPath(Wide(target));
  const DWORD attributes = ::GetFileAttributesW(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::copy(to.begin(), to.end(), rename->FileName);
  if (!::SetFileInformationByHandle(file_.get(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
    return false;
  }
  path_ = Narrow(to);
  return true;
}

}  // namespace orvane

#include "platform/win32/command_runner_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/registration.h"
#include "platform/text.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orvane {
namespace {

bool IsFile(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool HasExtension(const std::wstring& name) {
  std::size_t dot = name.find_last_of(L'.');
  std::size_t slash = name.find_last_of(L"\\/");
  return dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
}

// The first word as the command line parser sees it: up to the closing quote
// when it starts with one, else up to the first blank.
std::wstring FirstWord(const std::wstring& line) {
  std::size_t start = line.find_first_not_of(L" \t");
  if (start == std::wstring::npos) return {};
  if (line[start] == L'"') {
    std::size_t end = line.find(L'"', start + 1);
    return line.substr(start + 1, end == std::wstring::npos ? end : end - start - 1);
  }
  std::size_t end = line.find_first_of(L" \t", start);
  return line.substr(start, end == std::wstring::npos ? end : end - start);
}

// The name as given, then with ".exe" when it has no extension.
std::wstring FindWithExtension(const std::wstring& path) {
  if (IsFile(path)) return path;
  if (!HasExtension(path) && IsFile(path + L".exe")) return path + L".exe";
  return {};
}

std::wstring Folder(UINT (WINAPI* get)(LPWSTR, UINT)) {
  std::vector<wchar_t> buffer(MAX_PATH);
  UINT length = get(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = get(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0 || length >= buffer.size()) return {};
  return std::wstring(buffer.data(), length);
}

// FOLDERID_ProgramFilesCommon, spelled out so no GUID library is needed.
constexpr GUID kProgramFilesCommon = {
    0xF7F1ED05, 0x9F6D, 0x47A2, {0xAA, 0xAE, 0x29, 0xD3, 0x17, 0xC6, 0xF0, 0x66}};

std::wstring CommonFilesFolder() {
  using KnownFolderFn = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
  static const auto knownFolder = SystemFunction<KnownFolderFn>(L"shell32.dll", "SHGetKnownFolderPath");
  PWSTR path = nullptr;
  std::wstring folder;
  if (knownFolder != nullptr && SUCCEEDED(knownFolder(kProgramFilesCommon, 0, nullptr, &path))) folder = path;
  ::CoTaskMemFree(path);
  return folder;
}

std::uint64_t CreationTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The 32-bit system folder of 64-bit Windows; empty elsewhere or when it is missing.
std::wstring System32BitFolder() {
  std::wstring folder = Folder(&::GetSystemWow64DirectoryW);
  DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? folder : std::wstring();
}

SystemFolders Folders() {
  return {Narrow(Folder(&::GetSystemDirectoryW)), Narrow(CommonFilesFolder()), Narrow(System32BitFolder())};
}

bool FileThere(const std::string& path) { return IsFile(Wide(path)); }

// Starts `line` with `folder` as its current folder; empty on failure.
UniqueKernelHandle StartIn(const std::wstring& program, std::wstring line, const std::wstring& folder,
                           int showWindow, DWORD& pid) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindow);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info)) {
    return {};
  }
  UniqueKernelHandle thread(info.hThread);
  pid = info.dwProcessId;
  return UniqueKernelHandle(info.hProcess);
}

}  // namespace

std::wstring Win32CommandRunner::ProgramPath(std::string_view commandLine) {
  std::wstring word = FirstWord(Wide(commandLine));
  if (word.empty()) return {};
  if (word.find_first_of(L"\\/:") != std::wstring::npos) return FindWithExtension(word);
  for (auto get : {&::GetSystemDirectoryW, &::GetWindowsDirectoryW}) {
    std::wstring folder = Folder(get);
    if (folder.empty()) continue;
    if (folder.back() != L'\\') folder += L'\\';
    std::wstring found = FindWithExtension(folder + word);
    if (!found.empty()) return found;
  }
  return {};
}

std::optional<std::string> Win32CommandRunner::SafeCommandLine(std::string_view commandLine) {
  return ResolveRegistration(commandLine, Folders(), &FileThere);
}

std::optional<StartedProcess> Win32CommandRunner::Start(std::string_view commandLine,
                                                        int showWindow) {
  std::wstring program = ProgramPath(commandLine);
  if (program.empty()) return std::nullopt;
  // The system folder as current folder: nothing started searches the one we were started in.
  const SystemFolders folders = Folders();
  if (folders.system.empty()) return std::nullopt;
  // A folder that cannot be found is a failure, not a library found missing.
  if (commandLine.find(kCommonFilesToken) != std::string_view::npos && folders.commonFiles.empty()) {
    return std::nullopt;
  }
  std::optional<std::string> safeLine = ResolveRegistration(commandLine, folders, &FileThere);
  if (!safeLine) return StartedProcess{};  // the library is not there: nothing to register
  DWORD pid = 0, pid32 = 0;
  Started kept{StartIn(program, Wide(*safeLine), Wide(folders.system), showWindow, pid), {}};
  if (!kept.process) return std::nullopt;
  if (auto line32 = Resolve32BitRegistration(commandLine, folders, &FileThere)) {
    const std::wstring folder32 = Wide(folders.system32Bit);
    kept.companion = StartIn(folder32 + L"\\regsvr32.exe", Wide(*line32), folder32, showWindow, pid32);
    // One that cannot start fails the pair, with the reason as its code.
    if (!kept.companion) kept.companionError = std::max<DWORD>(::GetLastError(), 1);
  }
  const StartedProcess started{pid, CreationTime(kept.process.get())};
  if (kept.companion) companions_[{pid, started.creationTime}] = {pid32, CreationTime(kept.companion.get())};
  started_[pid] = std::move(kept);  // exit codes stay readable
  return started;
}

void CALLBACK Win32CommandRunner::OnEnded(void* context, BOOLEAN timedOut) {
  Wait& wait = *static_cast<Wait*>(context);
  DWORD code = 0;
  const bool answered = !timedOut && ::GetExitCodeProcess(wait.process.get(), &code);
  Account(*wait.owner, answered ? std::optional<std::uint32_t>(code) : std::nullopt);
}

// One of the follower's processes has ended (nullopt: no answer); after the last, it tells.
void Win32CommandRunner::Account(Follower& follower, std::optional<std::uint32_t> code) {
  bool last = false;
  {
    std::lock_guard<std::mutex> lock(follower.mutex);
    if (follower.code == 0u) follower.code = code;
    last = --follower.waiting == 0;
  }
  if (!last) return;
  follower.ended(follower.code);
  follower.done = true;
}

bool Win32CommandRunner::WhenEnded(const StartedProcess& process, unsigned timeoutMs,
                                   std::function<void(std::optional<std::uint32_t>)> ended) {
  followers_.remove_if([](const Follower& f) { return f.done.load(); });
  auto found = started_.find(process.pid);
  if (found == started_.end() || CreationTime(found->second.process.get()) != process.creationTime) return false;
  Follower& follower = followers_.emplace_back();
  Started kept = std::move(found->second);
  started_.erase(found);
  follower.ended = std::move(ended);
  follower.code = kept.companionError;
  follower.waiting = kept.companion ? 2 : 1;
  for (UniqueKernelHandle* handle : {&kept.process, &kept.companion}) {
    if (!*handle) continue;
    Wait& wait = follower.waits.emplace_back(Wait{&follower, std::move(*handle), {}});
    if (::RegisterWaitForSingleObject(wait.wait.put(), wait.process.get(), &OnEnded, &wait, timeoutMs,
                                      WT_EXECUTEONLYONCE | WT_EXECUTEINWAITTHREAD)) {
      continue;
    }
    if (follower.waits.size() == 1) {  // nothing is followed yet
      followers_.pop_back();
      return false;
    }
    Account(follower, std::nullopt);  // a 32-bit registration that cannot be followed counts as unanswered
  }
  return true;
}

bool Win32CommandRunner::IsRunning(const StartedProcess& process) {
  // A process nobody follows is let go once it has ended.
  if (auto kept = started_.find(process.pid);
      kept != started_.end() && ::WaitForSingleObject(kept->second.process.get(), 0) != WAIT_TIMEOUT &&
      (!kept->second.companion || ::WaitForSingleObject(kept->second.companion.get(), 0) != WAIT_TIMEOUT)) {
    started_.erase(kept);
  }
  // A registration runs while its 32-bit companion does.
  if (auto companion = companions_.find({process.pid, process.creationTime}); companion != companions_.end()) {
    if (IsAlive(companion->second)) return true;
    companions_.erase(companion);
  }
  return IsAlive(process);
}

bool Win32CommandRunner::IsAlive(const StartedProcess& process) {
  UniqueKernelHandle handle(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                          process.pid));
  if (!handle) return false;
  // The same id may belong to a later process by now.
  if (CreationTime(handle.get()) != process.creationTime) return false;
  return ::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace orvane

#include "platform/win32/interactive_user.h"

#include <sddl.h>

#include <vector>

namespace orvane {
namespace {

// The TOKEN_USER of a process's token; empty when it cannot be read.
std::vector<BYTE> TokenUserOf(HANDLE process) {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) return {};
  UniqueKernelHandle token(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  return buffer;
}

PSID SidOf(std::vector<BYTE>& tokenUser) {
  return reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

}  // namespace

std::wstring OtherInteractiveUserSid() {
  DWORD shellPid = 0;
  HWND shell = ::GetShellWindow();
  if (shell == nullptr || ::GetWindowThreadProcessId(shell, &shellPid) == 0) return {};
  UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellPid));
  if (!process) return {};
  std::vector<BYTE> shellUser = TokenUserOf(process.get());
  std::vector<BYTE> self = TokenUserOf(::GetCurrentProcess());
  if (shellUser.empty() || self.empty() || ::EqualSid(SidOf(shellUser), SidOf(self))) return {};
  LPWSTR text = nullptr;
  if (!::ConvertSidToStringSidW(SidOf(shellUser), &text)) return {};
  std::wstring sid = text;
  ::LocalFree(text);
  return sid;
}

UniqueHkey InteractiveUserHive() {
  const std::wstring sid = OtherInteractiveUserSid();
  if (sid.empty()) return {};
  HKEY hive = nullptr;
  if (::RegOpenKeyExW(HKEY_USERS, sid.c_str(), 0, MAXIMUM_ALLOWED, &hive) != ERROR_SUCCESS) return {};
  return UniqueHkey(hive);
}

}  // namespace orvane

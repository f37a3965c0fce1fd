#include "platform/win32/accounts.h"

#include <windows.h>

#include <sddl.h>

#include <memory>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orvane {

bool RunningAsSystem() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  UniqueKernelHandle token(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return false;
  return ::IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, WinLocalSystemSid) != FALSE;
}

std::optional<std::string> AccountOfSid(const std::string& sid) {
  PSID raw = nullptr;
  if (!::ConvertStringSidToSidW(Wide(sid).c_str(), &raw)) return std::nullopt;
  std::unique_ptr<void, decltype(&::LocalFree)> owned(raw, &::LocalFree);
  wchar_t name[256], domain[256];
  DWORD nameSize = 256, domainSize = 256;
  SID_NAME_USE use{};
  if (!::LookupAccountSidW(nullptr, raw, name, &nameSize, domain, &domainSize, &use)) return std::nullopt;
  return Narrow(std::wstring(domain) + L"\\" + name);
}

}  // namespace orvane

#include "cli/guard_win32.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace orvane::cli {
namespace {

HANDLE g_stop = nullptr;  // for the console's Ctrl+C handler

BOOL WINAPI OnConsoleControl(DWORD) {
  if (g_stop) ::SetEvent(g_stop);
  return TRUE;  // the guard ends on its own, its log saved
}

struct LocalDeleter {
  void operator()(void* memory) const { ::LocalFree(memory); }
};
using Sid = std::vector<BYTE>;

Sid CopySid(PSID sid) {
  const BYTE* bytes = static_cast<const BYTE*>(sid);
  return sid && ::IsValidSid(sid) ? Sid(bytes, bytes + ::GetLengthSid(sid)) : Sid{};
}

Sid WellKnown(WELL_KNOWN_SID_TYPE type) {
  Sid sid(SECURITY_MAX_SID_SIZE);
  DWORD size = static_cast<DWORD>(sid.size());
  if (!::CreateWellKnownSid(type, nullptr, sid.data(), &size)) return {};
  sid.resize(size);
  return sid;
}

// The token's user, then the owner it gives what it creates.
std::vector<Sid> TokenSids() {
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
  std::vector<Sid> sids;
  for (TOKEN_INFORMATION_CLASS what : {TokenUser, TokenOwner}) {
    DWORD size = 0;
    ::GetTokenInformation(token.get(), what, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), what, buffer.data(), size, &size)) return {};
    sids.push_back(CopySid(what == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                             : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner));
  }
  return sids;
}

std::wstring SidText(Sid sid) {
  LPWSTR text = nullptr;
  if (sid.empty() || !::ConvertSidToStringSidW(sid.data(), &text)) return {};
  std::unique_ptr<void, LocalDeleter> owned(text);
  return text;
}

// The stop event is named after the user. Any program in the session may
// create that name first, so an event counts as a guard's only when its owner
// and everyone its DACL lets in are this user, administrators or SYSTEM, as a
// guard makes it; another holder's name is passed over for the next one.
class Win32GuardHost : public GuardHost {
 public:
  Win32GuardHost() : trusted_(TokenSids()) {
    if (trusted_.empty() || trusted_[0].empty()) return;
    sid_ = SidText(trusted_[0]);
    trusted_.push_back(WellKnown(WinBuiltinAdministratorsSid));
    trusted_.push_back(WellKnown(WinLocalSystemSid));
  }
  ~Win32GuardHost() override { g_stop = nullptr; }

  bool Claim() override {
    squatted_ = 0;
    if (sid_.empty()) return false;
    // Only this user and administrators may open it.
    const std::wstring sddl = L"D:P(A;;GA;;;" + sid_ + L")(A;;GA;;;BA)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                nullptr)) {
      return false;
    }
    std::unique_ptr<void, LocalDeleter> owned(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    UniqueKernelHandle mine;
    for (unsigned n = 0; n < kGuardNames; ++n) {
      // Past the name taken, only a guard that took a later one while it was held matters.
      UniqueKernelHandle event(mine ? ::OpenEventW(READ_CONTROL | SYNCHRONIZE, FALSE, Name(n).c_str())
                                    : ::CreateEventW(&attributes, TRUE, FALSE, Name(n).c_str()));
      const DWORD error = ::GetLastError();
      if (!event && mine && error == ERROR_FILE_NOT_FOUND) continue;
      if (event && !mine && error != ERROR_ALREADY_EXISTS) {
        mine = std::move(event);
      } else if (event && Trusted(event.get())) {
        return false;  // a guard runs
      } else {
        ++squatted_;
      }
    }
    if (!mine) return false;
    stop_ = std::move(mine);
    arrived_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    g_stop = stop_.get();
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    return static_cast<bool>(arrived_);
  }

  bool SignalStop() override {
    squatted_ = 0;
    bool stopped = false;
    for (unsigned n = 0; n < kGuardNames && !sid_.empty(); ++n) {
      UniqueKernelHandle running(::OpenEventW(EVENT_MODIFY_STATE | READ_CONTROL, FALSE, Name(n).c_str()));
      if (!running) {
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) ++squatted_;
      } else if (!Trusted(running.get())) {
        ++squatted_;
      } else {
        stopped = ::SetEvent(running.get()) || stopped;
      }
    }
    return stopped;
  }

  unsigned Squatted() const override { return squatted_; }

  std::function<void(std::uint32_t)> Poster() override {
    return [this](std::uint32_t id) {
      std::lock_guard<std::mutex> lock(mutex_);
      posted_.push_back(id);
      ::SetEvent(arrived_.get());
    };
  }

  Wake Wait(unsigned milliseconds) override {
    HANDLE handles[] = {stop_.get(), arrived_.get()};
    Wake wake;
    wake.stop = ::WaitForMultipleObjects(2, handles, FALSE, milliseconds) == WAIT_OBJECT_0;
    std::lock_guard<std::mutex> lock(mutex_);
    wake.changed.swap(posted_);
    return wake;
  }

  std::uint64_t NowMilliseconds() override { return ::GetTickCount64(); }

 private:
  std::wstring Name(unsigned n) const {
    return L"Local\\Orvane.Guard." + sid_ + (n ? L"." + std::to_wstring(n) : L"");
  }

  bool IsTrusted(PSID sid) const {
    for (const Sid& trusted : trusted_) {
      if (!trusted.empty() && ::EqualSid(sid, const_cast<BYTE*>(trusted.data()))) return true;
    }
    return false;
  }

  // An owner among the trusted, and a DACL that lets no one else in (none at all lets everyone in).
  bool Trusted(HANDLE object) const {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                          nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
      return false;
    }
    std::unique_ptr<void, LocalDeleter> owned(descriptor);
    if (!owner || !dacl || !IsTrusted(owner)) return false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      ACE_HEADER* ace = nullptr;
      if (!::GetAce(dacl, i, reinterpret_cast<void**>(&ace))) return false;
      if (ace->AceType == ACCESS_DENIED_ACE_TYPE) continue;
      if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE ||
          !IsTrusted(&reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart)) {
        return false;
      }
    }
    return true;
  }

  std::vector<Sid> trusted_;  // the user, the token's owner, administrators, SYSTEM
  std::wstring sid_;
  unsigned squatted_ = 0;
  UniqueKernelHandle stop_, arrived_;
  std::mutex mutex_;
  std::vector<std::uint32_t> posted_;
};

}  // namespace

std::unique_ptr<GuardHost> MakeWin32GuardHost() { return std::make_unique<Win32GuardHost>(); }

}  // namespace orvane::cli

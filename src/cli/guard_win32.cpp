#include "cli/guard_win32.h"

#include <windows.h>

#include <sddl.h>

#include <mutex>
#include <string>

#include "platform/win32/unique_handle.h"

namespace orvane::cli {
namespace {

HANDLE g_stop = nullptr;  // for the console's Ctrl+C handler

BOOL WINAPI OnConsoleControl(DWORD) {
  if (g_stop) ::SetEvent(g_stop);
  return TRUE;  // the guard ends on its own, its log saved
}

std::wstring UserSid() {
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::string buffer(size, '\0');
  if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  LPWSTR text = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
  std::wstring sid(text);
  ::LocalFree(text);
  return sid;
}

class Win32GuardHost : public GuardHost {
 public:
  Win32GuardHost() : sid_(UserSid()), name_(L"Local\\Orvane.Guard." + sid_) {}
  ~Win32GuardHost() override { g_stop = nullptr; }

  bool Claim() override {
    if (sid_.empty()) return false;
    // Only this user and administrators may open it.
    const std::wstring sddl = L"D:P(A;;GA;;;" + sid_ + L")(A;;GA;;;BA)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                nullptr)) {
      return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    stop_.reset(::CreateEventW(&attributes, TRUE, FALSE, name_.c_str()));
    const DWORD error = ::GetLastError();
    ::LocalFree(descriptor);
    if (!stop_ || error == ERROR_ALREADY_EXISTS) {
      stop_.reset();
      return false;
    }
    arrived_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    g_stop = stop_.get();
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    return static_cast<bool>(arrived_);
  }

  bool SignalStop() override {
    UniqueKernelHandle running(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name_.c_str()));
    return running && ::SetEvent(running.get());
  }

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
  std::wstring sid_, name_;
  UniqueKernelHandle stop_, arrived_;
  std::mutex mutex_;
  std::vector<std::uint32_t> posted_;
};

}  // namespace

std::unique_ptr<GuardHost> MakeWin32GuardHost() { return std::make_unique<Win32GuardHost>(); }

}  // namespace orvane::cli

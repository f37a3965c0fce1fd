#include "contract/registry_backend.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/registry_win32.h"
#include "platform/win32/wide_text.h"
#include "support/sandbox_registry.h"

namespace orvane::testing {
namespace {

constexpr wchar_t kSandboxParent[] = L"Software\\OrvaneContract";

// The system registry with every root inside a scratch key of the current
// user, made for one test and removed with everything below it afterwards.
class SystemBackend : public RegistryBackend {
 public:
  explicit SystemBackend(bool machineSoftware)
      : registry_(system_, SandboxName(), machineSoftware ? MachineLeaf() : std::string()) {
    for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine}) {
      RegHandle h = 0;
      if (registry_.CreateKey(root, "", RegView::Default, h) == regerr::kSuccess) registry_.CloseKey(h);
    }
  }
  ~SystemBackend() override {
    for (std::wstring parent : {L"SOFTWARE\\", L"SOFTWARE\\Wow6432Node\\"}) {
      if (machineWide_.empty()) break;
      ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (parent + machineWide_).c_str());
      ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (parent + machineWide_).c_str());
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, sandboxWide_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, sandboxWide_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kSandboxParent);  // only when no other test's key is left
  }
  RegistryService& Registry() override { return registry_; }
  std::string Name() const override { return "system"; }
  // Asked of the kernel: the sandbox's key under \REGISTRY\USER\<SID>.
  std::string NativePath(RegRoot root, std::string_view path) override {
    using QueryKeyFn = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int kKeyNameInformation = 3;
    static const auto query = reinterpret_cast<QueryKeyFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    RegKey key(registry_);
    if (!query || key.Open(root, path, kKeyRead) != regerr::kSuccess) return {};
    std::vector<std::uint8_t> buffer(8192);
    ULONG size = 0;
    if (query(reinterpret_cast<HANDLE>(key.Get()), kKeyNameInformation, buffer.data(),
              static_cast<ULONG>(buffer.size()), &size) != 0) {
      return {};
    }
    ULONG bytes = 0;
    std::memcpy(&bytes, buffer.data(), sizeof bytes);
    return Narrow({reinterpret_cast<const wchar_t*>(buffer.data() + sizeof bytes), bytes / sizeof(wchar_t)});
  }

 private:
  std::string SandboxName() {
    static unsigned counter = 0;
    std::wstring leaf = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    sandboxWide_ = std::wstring(kSandboxParent) + L"\\" + leaf;
    return "Software\\OrvaneContract\\" + std::string(leaf.begin(), leaf.end());
  }

  // HKLM\SOFTWARE, which has two views, needs a sandbox of its own there.
  std::string MachineLeaf() {
    std::string leaf = "OrvaneContract-" + std::to_string(::GetCurrentProcessId()) + "-" +
                       std::to_string(reinterpret_cast<std::uintptr_t>(this));
    machineWide_ = std::wstring(leaf.begin(), leaf.end());
    return leaf;
  }

  std::wstring sandboxWide_;
  std::wstring machineWide_;
  Win32Registry system_;
  SandboxRegistry registry_;
};

}  // namespace

std::unique_ptr<RegistryBackend> MakeRegistryBackend(bool machineSoftware) {
  return std::make_unique<SystemBackend>(machineSoftware);
}

}  // namespace orvane::testing

#pragma once
// The system registry through advapi32's wide functions.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/win32/unique_handle.h"

namespace orvane {

class Win32Registry : public RegistryService {
 public:
  // The real root keys.
  Win32Registry() = default;
  // HKEY_CURRENT_USER stands for `userHive` (another user's key under
  // HKEY_USERS); the other roots are the real ones.
  explicit Win32Registry(UniqueHkey userHive) : userHive_(std::move(userHive)) {}

  ~Win32Registry() override;
  long CreateKey(RegRoot root, std::string_view path, RegView view, RegHandle& out) override;
  long OpenKey(RegRoot root, std::string_view path, RegView view, std::uint32_t access,
               RegHandle& out) override;
  long QueryInfoKey(RegHandle key, RegKeyInfo& out) override;
  long EnumKey(RegHandle key, std::uint32_t index, std::uint32_t bufferChars,
               std::string& name) override;
  long SetValue(RegHandle key, std::string_view name, const RegValue& value) override;
  long DeleteValue(RegHandle key, std::string_view name) override;
  long DeleteKey(RegHandle key, std::string_view subkey) override;
  long CloseKey(RegHandle key) override;
  long QueryValue(RegHandle key, std::string_view name, RegValue& out) override;
  long EnumValue(RegHandle key, std::uint32_t index, std::string& name, RegValue& out) override;
  long WatchKey(RegHandle key, std::function<void()> fired) override;
  long OpenKeyAsLink(RegRoot root, std::string_view path, RegView view, std::uint32_t access,
                     RegHandle& out) override;
  long OpenSubkeyAsLink(RegHandle parent, std::string_view name, std::uint32_t access,
                        RegHandle& out) override;
  long DeleteOpenKey(RegHandle key) override;
  long CreateLink(RegRoot root, std::string_view path, RegView view, std::string_view target) override;

 private:
  // The parent handle and the path below it that stand for root\path.
  bool Locate(RegRoot root, std::string_view path, HKEY& base, std::wstring& full) const;
  long Open(RegRoot root, std::string_view path, RegView view, DWORD options, std::uint32_t access,
            RegHandle& out);

  // What a watch's callback reaches. It outlives the watch by some seconds:
  // Wine's thread pool was seen to run a wait's callback just after the wait
  // was unregistered (the thread had woken before it saw the cancel).
  struct WatchTarget {
    std::mutex mutex;  // guards all below
    bool open = true;
    HANDLE event = nullptr;
    std::function<void()> fired;
  };
  // One watched key: a manual-reset event the key signals and a thread-pool
  // wait on it, registered once, that runs `fired`.
  struct Watch {
    std::shared_ptr<WatchTarget> target = std::make_shared<WatchTarget>();
    UniqueKernelHandle event;
    UniquePoolWait wait;  // last member, so first to go
    ~Watch();
  };
  static void CALLBACK OnSignalled(void* target, BOOLEAN timedOut);
  // Targets of closed watches, with the time they closed.
  static void Retire(std::shared_ptr<WatchTarget> target);

  UniqueHkey userHive_;
  // Handles opened in a view other than Default: deleting a subkey through
  // one must name that view (RegDeleteKeyExW).
  std::map<RegHandle, RegView> views_;
  std::map<RegHandle, std::unique_ptr<Watch>> watches_;
};

}  // namespace orvane

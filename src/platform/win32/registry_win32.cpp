#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <vector>

#include "platform/text.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide_text.h"

namespace orvane {
namespace {

HKEY AsHkey(RegHandle handle) { return reinterpret_cast<HKEY>(handle); }
RegHandle AsHandle(HKEY key) { return reinterpret_cast<RegHandle>(key); }

// The predefined handles are sign-extended 32-bit values; the enum holds them unextended.
HKEY PredefinedKey(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::Users: return HKEY_USERS;
  }
  return nullptr;
}

// The kernel's own open and delete, for what the advapi32 forms cannot do: a
// counted name, and deleting a link key rather than its target.
struct CountedName {
  USHORT length;
  USHORT maximumLength;
  wchar_t* buffer;
};
struct ObjectAttributes {
  ULONG length;
  HANDLE root;
  CountedName* name;
  ULONG attributes;
  void* securityDescriptor;
  void* securityQualityOfService;
};
constexpr ULONG kObjCaseInsensitive = 0x40;
constexpr ULONG kObjOpenLink = 0x100;
using NtOpenKeyFn = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, ObjectAttributes*);
using NtDeleteKeyFn = LONG(NTAPI*)(HANDLE);
using StatusToErrorFn = ULONG(NTAPI*)(LONG);

long StatusToError(LONG status) {
  static const auto convert = SystemFunction<StatusToErrorFn>(L"ntdll.dll", "RtlNtStatusToDosError");
  return convert ? static_cast<long>(convert(status)) : ERROR_GEN_FAILURE;
}

REGSAM ViewFlag(RegView view) {
  switch (view) {
    case RegView::Bits64: return KEY_WOW64_64KEY;
    case RegView::Bits32: return KEY_WOW64_32KEY;
    case RegView::Default: break;
  }
  return 0;
}

}  // namespace

Win32Registry::~Win32Registry() {
  watches_.clear();  // waits for running callbacks before the keys close
}

bool Win32Registry::Locate(RegRoot root, std::string_view path, HKEY& base,
                           std::wstring& full) const {
  base = PredefinedKey(root);
  if (!base) return false;
  if (root == RegRoot::CurrentUser && userHive_) base = userHive_.get();
  full = Wide(path);
  return true;
}

long Win32Registry::CreateKey(RegRoot root, std::string_view path, RegView view, RegHandle& out) {
  out = 0;
  HKEY base = nullptr;
  std::wstring full;
  if (!Locate(root, path, base, full)) return regerr::kInvalidHandle;
  HKEY key = nullptr;
  LONG result = ::RegCreateKeyExW(base, full.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  MAXIMUM_ALLOWED | ViewFlag(view), nullptr, &key, nullptr);
  if (result == ERROR_SUCCESS) {
    out = AsHandle(key);
    if (view != RegView::Default) views_[out] = view;
  }
  return result;
}

long Win32Registry::Open(RegRoot root, std::string_view path, RegView view, DWORD options,
                         std::uint32_t access, RegHandle& out) {
  out = 0;
  HKEY base = nullptr;
  std::wstring full;
  if (!Locate(root, path, base, full)) return regerr::kInvalidHandle;
  HKEY key = nullptr;
  LONG result = ::RegOpenKeyExW(base, full.c_str(), options, access | ViewFlag(view), &key);
  if (result == ERROR_SUCCESS) {
    out = AsHandle(key);
    if (view != RegView::Default) views_[out] = view;
  }
  return result;
}

long Win32Registry::OpenKey(RegRoot root, std::string_view path, RegView view,
                            std::uint32_t access, RegHandle& out) {
  return Open(root, path, view, 0, access, out);
}

long Win32Registry::OpenKeyAsLink(RegRoot root, std::string_view path, RegView view,
                                  std::uint32_t access, RegHandle& out) {
  return Open(root, path, view, REG_OPTION_OPEN_LINK, access, out);
}

// advapi32 opens the name, so a key below HKEY_CLASSES_ROOT is found in the
// user's or the machine's classes as when listed; only a name with a null in
// it, which advapi32 cannot pass, goes to the kernel counted.
long Win32Registry::OpenSubkeyAsLink(RegHandle parent, std::string_view name, std::uint32_t access,
                                     RegHandle& out) {
  out = 0;
  std::wstring wide = Wide(name);
  if (wide.empty() || wide.find(L'\\') != std::wstring::npos || wide.size() > 0x7FFF) {
    return ERROR_INVALID_PARAMETER;
  }
  auto view = views_.find(parent);
  const RegView parentView = view == views_.end() ? RegView::Default : view->second;
  HKEY key = nullptr;
  LONG result = ERROR_PROC_NOT_FOUND;
  if (wide.find(L'\0') == std::wstring::npos) {
    result = ::RegOpenKeyExW(AsHkey(parent), wide.c_str(), REG_OPTION_OPEN_LINK, access | ViewFlag(parentView), &key);
  } else if (static const auto open = SystemFunction<NtOpenKeyFn>(L"ntdll.dll", "NtOpenKey"); open) {
    CountedName counted{static_cast<USHORT>(wide.size() * 2), static_cast<USHORT>(wide.size() * 2), wide.data()};
    ObjectAttributes attributes{sizeof(ObjectAttributes), AsHkey(parent), &counted,
                                kObjCaseInsensitive | kObjOpenLink, nullptr, nullptr};
    HANDLE opened = nullptr;
    LONG status = open(&opened, access | ViewFlag(parentView), &attributes);
    result = status == 0 ? ERROR_SUCCESS : StatusToError(status);
    key = static_cast<HKEY>(opened);
  }
  if (result != ERROR_SUCCESS) return result;
  out = AsHandle(key);
  if (parentView != RegView::Default) views_[out] = parentView;
  return ERROR_SUCCESS;
}

long Win32Registry::DeleteOpenKey(RegHandle key) {
  static const auto remove = SystemFunction<NtDeleteKeyFn>(L"ntdll.dll", "NtDeleteKey");
  if (!remove) return ERROR_PROC_NOT_FOUND;
  LONG status = remove(AsHkey(key));
  return status == 0 ? ERROR_SUCCESS : StatusToError(status);
}

long Win32Registry::CreateLink(RegRoot root, std::string_view path, RegView view,
                               std::string_view target) {
  HKEY base = nullptr;
  std::wstring full;
  if (!Locate(root, path, base, full)) return regerr::kInvalidHandle;
  UniqueHkey link;
  DWORD disposition = 0;
  LONG result = ::RegCreateKeyExW(base, full.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                                  KEY_ALL_ACCESS | KEY_CREATE_LINK | ViewFlag(view), nullptr,
                                  link.put(), &disposition);
  if (result != ERROR_SUCCESS) return result;
  if (disposition != REG_CREATED_NEW_KEY) return ERROR_ALREADY_EXISTS;  // the handle is the target's
  const std::wstring wideTarget = Wide(target);  // no terminating null, as the system keeps it
  result = ::RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                            reinterpret_cast<const BYTE*>(wideTarget.data()),
                            static_cast<DWORD>(wideTarget.size() * sizeof(wchar_t)));
  if (result != ERROR_SUCCESS) DeleteOpenKey(AsHandle(link.get()));
  return result;
}

long Win32Registry::QueryInfoKey(RegHandle key, RegKeyInfo& out) {
  DWORD subkeys = 0, maxLen = 0;
  FILETIME written{};
  LONG result = ::RegQueryInfoKeyW(AsHkey(key), nullptr, nullptr, nullptr, &subkeys, &maxLen,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, &written);
  if (result == ERROR_SUCCESS) {
    out = RegKeyInfo{subkeys, maxLen,
                     (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime};
  }
  return result;
}

long Win32Registry::EnumKey(RegHandle key, std::uint32_t index, std::uint32_t bufferChars,
                            std::string& name) {
  name.clear();
  std::vector<wchar_t> buffer(bufferChars + 1u, L'\0');
  DWORD chars = bufferChars;
  LONG result = ::RegEnumKeyExW(AsHkey(key), index, buffer.data(), &chars, nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_SUCCESS) name = Narrow({buffer.data(), chars});  // all of it: a null may be part of a name
  return result;
}

long Win32Registry::SetValue(RegHandle key, std::string_view name, const RegValue& value) {
  return ::RegSetValueExW(AsHkey(key), Wide(name).c_str(), 0, static_cast<DWORD>(value.type),
                          value.data.data(), static_cast<DWORD>(value.data.size()));
}

long Win32Registry::DeleteValue(RegHandle key, std::string_view name) {
  return ::RegDeleteValueW(AsHkey(key), Wide(name).c_str());
}

long Win32Registry::DeleteKey(RegHandle key, std::string_view subkey) {
  auto view = views_.find(key);
  return ::RegDeleteKeyExW(AsHkey(key), Wide(subkey).c_str(),
                           ViewFlag(view == views_.end() ? RegView::Default : view->second), 0);
}

long Win32Registry::CloseKey(RegHandle key) {
  watches_.erase(key);
  views_.erase(key);
  return ::RegCloseKey(AsHkey(key));
}

// Runs in the wait thread, so the event is reset before the wait resumes.
void CALLBACK Win32Registry::OnSignalled(void* context, BOOLEAN /*timedOut*/) {
  WatchTarget& target = *static_cast<WatchTarget*>(context);
  std::function<void()> fired;
  {
    std::lock_guard<std::mutex> lock(target.mutex);
    if (!target.open) return;  // a late call for a closed watch
    ::ResetEvent(target.event);
    fired = target.fired;
  }
  if (fired) fired();
}

Win32Registry::Watch::~Watch() {
  wait.reset();
  {
    std::lock_guard<std::mutex> lock(target->mutex);
    target->open = false;
    target->fired = nullptr;
  }
  Retire(std::move(target));
}

// Kept for ten seconds after its watch closed; the ones left when the
// process ends are never freed.
void Win32Registry::Retire(std::shared_ptr<WatchTarget> target) {
  static auto* mutex = new std::mutex;
  static auto* retired = new std::vector<std::pair<ULONGLONG, std::shared_ptr<WatchTarget>>>();
  std::lock_guard<std::mutex> lock(*mutex);
  const ULONGLONG now = ::GetTickCount64();
  std::erase_if(*retired, [now](const auto& entry) { return now - entry.first > 10000; });
  retired->emplace_back(now, std::move(target));
}

// One wait stays registered on one manual-reset event for the handle's life;
// each call only asks the key for one more signal. A wait unregistered and
// registered anew on every signal was seen to lose signals under a storm of
// writes, and an auto-reset event can be consumed by a wait on its way out.
long Win32Registry::WatchKey(RegHandle key, std::function<void()> fired) {
  std::unique_ptr<Watch>& watch = watches_[key];
  const bool fresh = !watch;
  if (fresh) {
    watch = std::make_unique<Watch>();
    watch->event.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!watch->event) {
      watches_.erase(key);
      return static_cast<long>(::GetLastError());
    }
    watch->target->event = watch->event.get();
  }
  {
    std::lock_guard<std::mutex> lock(watch->target->mutex);
    watch->target->fired = std::move(fired);
  }
  LONG result = ::RegNotifyChangeKeyValue(
      AsHkey(key), FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_THREAD_AGNOSTIC,
      watch->event.get(), TRUE);
  if (result == ERROR_SUCCESS && fresh &&
      !::RegisterWaitForSingleObject(watch->wait.put(), watch->event.get(), &OnSignalled, watch->target.get(), INFINITE,
                                     WT_EXECUTEINWAITTHREAD)) {
    result = static_cast<LONG>(::GetLastError());
  }
  if (result != ERROR_SUCCESS) watches_.erase(key);
  return result;
}

long Win32Registry::QueryValue(RegHandle key, std::string_view name, RegValue& out) {
  std::wstring wideName = Wide(name);
  DWORD type = 0, size = 0;
  LONG result = ::RegQueryValueExW(AsHkey(key), wideName.c_str(), nullptr, &type, nullptr, &size);
  // The value may grow between the two calls; ask again until it fits.
  std::vector<std::uint8_t> data;
  while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    data.resize(size);
    result = ::RegQueryValueExW(AsHkey(key), wideName.c_str(), nullptr, &type, data.data(), &size);
    if (result == ERROR_SUCCESS) {
      data.resize(size);
      out.type = static_cast<RegType>(type);
      out.data = std::move(data);
      return result;
    }
  }
  return result;
}

long Win32Registry::EnumValue(RegHandle key, std::uint32_t index, std::string& name,
                              RegValue& out) {
  name.clear();
  for (;;) {
    DWORD maxName = 0, maxData = 0;
    LONG result = ::RegQueryInfoKeyW(AsHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, &maxName, &maxData, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return result;
    std::vector<wchar_t> nameBuffer(maxName + 1u, L'\0');
    std::vector<std::uint8_t> data(maxData);
    DWORD nameChars = maxName + 1u, size = maxData, type = 0;
    result = ::RegEnumValueW(AsHkey(key), index, nameBuffer.data(), &nameChars, nullptr, &type,
                             data.data(), &size);
    if (result == ERROR_MORE_DATA) continue;  // a value grew meanwhile
    if (result == ERROR_SUCCESS) {
      name = Narrow({nameBuffer.data(), nameChars});
      data.resize(size);
      out.type = static_cast<RegType>(type);
      out.data = std::move(data);
    }
    return result;
  }
}

}  // namespace orvane

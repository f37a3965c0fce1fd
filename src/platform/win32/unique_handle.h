#pragma once
// Move-only owners for Win32 handles: each closes its handle exactly once.
#include <windows.h>

#include <utility>

namespace orvane {

// Traits: `Invalid()` is the empty value, `IsValid(h)` tells a real handle,
// `Close(h)` releases one.
template <typename T, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  T get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

  // Gives up ownership without closing.
  T release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  void reset(T handle = Traits::Invalid()) noexcept {
    T old = std::exchange(handle_, handle);
    if (Traits::IsValid(old)) Traits::Close(old);
  }
  // For functions that return a handle through a pointer: closes the current one first.
  T* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  T handle_ = Traits::Invalid();
};

namespace handle_traits {

struct Kernel {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct Key {
  static HKEY Invalid() { return nullptr; }
  static bool IsValid(HKEY h) { return h != nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};

// A thread-pool wait; closing waits until its callback has returned.
struct PoolWait {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr; }
  static void Close(HANDLE h) { ::UnregisterWaitEx(h, INVALID_HANDLE_VALUE); }
};

struct Menu {
  static HMENU Invalid() { return nullptr; }
  static bool IsValid(HMENU h) { return h != nullptr; }
  static void Close(HMENU h) { ::DestroyMenu(h); }
};

template <typename T>
struct GdiObject {
  static T Invalid() { return nullptr; }
  static bool IsValid(T h) { return h != nullptr; }
  static void Close(T h) { ::DeleteObject(h); }
};

struct MemoryDc {
  static HDC Invalid() { return nullptr; }
  static bool IsValid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { ::DeleteDC(h); }
};

}  // namespace handle_traits

using UniqueKernelHandle = UniqueHandle<HANDLE, handle_traits::Kernel>;
using UniqueHkey = UniqueHandle<HKEY, handle_traits::Key>;
using UniquePoolWait = UniqueHandle<HANDLE, handle_traits::PoolWait>;
using UniqueHmenu = UniqueHandle<HMENU, handle_traits::Menu>;
using UniqueHbitmap = UniqueHandle<HBITMAP, handle_traits::GdiObject<HBITMAP>>;
using UniqueHgdiobj = UniqueHandle<HGDIOBJ, handle_traits::GdiObject<HGDIOBJ>>;
using UniqueHbrush = UniqueHandle<HBRUSH, handle_traits::GdiObject<HBRUSH>>;
using UniqueHfont = UniqueHandle<HFONT, handle_traits::GdiObject<HFONT>>;
// A device context made by CreateCompatibleDC / CreateDC.
using UniqueHdc = UniqueHandle<HDC, handle_traits::MemoryDc>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace orvane

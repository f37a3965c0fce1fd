#pragma once
// Handle owners the window peers use: the shared ones, plus icons, windows
// and saved DC states.
#include <windows.h>
#undef MessageBox

#include "platform/win32/unique_handle.h"

namespace orvane::ui::win32 {

namespace handle_traits {
struct Icon {
  static HICON Invalid() { return nullptr; }
  static bool IsValid(HICON h) { return h != nullptr; }
  static void Close(HICON h) { ::DestroyIcon(h); }
};
struct Window {
  static HWND Invalid() { return nullptr; }
  static bool IsValid(HWND h) { return h != nullptr; }
  static void Close(HWND h) { ::DestroyWindow(h); }
};
template <class T>
struct ComObject {
  static T* Invalid() { return nullptr; }
  static bool IsValid(T* p) { return p != nullptr; }
  static void Close(T* p) { p->Release(); }
};
}  // namespace handle_traits

using UniqueBitmap = UniqueHbitmap;
using UniqueFont = UniqueHfont;
using UniqueMemoryDc = UniqueHdc;
using UniqueIcon = UniqueHandle<HICON, handle_traits::Icon>;
using UniqueWindow = UniqueHandle<HWND, handle_traits::Window>;
// One reference to a COM object.
template <class T>
using UniqueCom = UniqueHandle<T*, handle_traits::ComObject<T>>;
using orvane::ScopedSelect;
using ScopedWindowDc = orvane::WindowDc;

// SaveDC/RestoreDC around a change of clipping or origin.
class ScopedDcState {
 public:
  explicit ScopedDcState(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
  ScopedDcState(const ScopedDcState&) = delete;
  ScopedDcState& operator=(const ScopedDcState&) = delete;
  ~ScopedDcState() {
    if (saved_ != 0) ::RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};

}  // namespace orvane::ui::win32

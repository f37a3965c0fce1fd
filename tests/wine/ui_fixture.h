#pragma once
// Shared set-up for the window tests: a real Win32Platform on the test's
// display, and input sent to a form window as the system would deliver it.
#include <windows.h>
#undef MessageBox

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/unique_handle.h"
#include "resources/win32/picture_win32.h"
#include "ui/toolkit/form.h"
#include "ui/win32/form_window.h"
#include "ui/win32/win32_platform.h"

namespace orvane::ui::win32::testing {

inline bool HaveDisplay() { return ::GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0; }

#define ORVANE_REQUIRE_DISPLAY() \
  if (!::orvane::ui::win32::testing::HaveDisplay()) GTEST_SKIP() << "no X display for windows"

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
inline void Press(HWND hwnd, int x, int y) { ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y)); }
inline void Release(HWND hwnd, int x, int y) { ::SendMessageW(hwnd, WM_LBUTTONUP, 0, At(x, y)); }

// A pixel of a bitmap resource, read straight from the resource.
inline COLORREF ResourcePixel(std::uint16_t id, int x, int y) {
  UniqueHbitmap bitmap(LoadSkinBitmap(id));
  UniqueHdc dc(::CreateCompatibleDC(nullptr));
  ScopedSelect select(dc.get(), bitmap.get());
  return ::GetPixel(dc.get(), x, y);
}

// What the window shows, painted as it paints itself.
class Snapshot {
 public:
  explicit Snapshot(HWND hwnd) {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    WindowDc screen(hwnd);
    dc_.reset(::CreateCompatibleDC(screen.get()));
    bitmap_.reset(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    previous_ = ::SelectObject(dc_.get(), bitmap_.get());
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()), PRF_CLIENT);
  }
  ~Snapshot() { ::SelectObject(dc_.get(), previous_); }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }

 private:
  UniqueHdc dc_;
  UniqueHbitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
};

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override { ORVANE_REQUIRE_DISPLAY(); }
  HWND Window(const Form& form) const { return platform.WindowOf(form); }

  Win32Platform platform;
};

}  // namespace orvane::ui::win32::testing

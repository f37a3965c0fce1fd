#pragma once
// A message-only window whose messages run a handler on the thread that made it.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace orvane::ui::win32 {

struct PostTarget {
  HWND hwnd = nullptr;
  std::function<void(std::uint32_t)> handler;
  PostTarget() = default;
  PostTarget(const PostTarget&) = delete;
  PostTarget& operator=(const PostTarget&) = delete;
  ~PostTarget() {
    if (hwnd) ::DestroyWindow(hwnd);
  }
};

}  // namespace orvane::ui::win32

#pragma once
// A message-only window whose messages run a handler on the thread that made it.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "ui/win32/gdi_handles.h"

namespace orvane::ui::win32 {

struct PostTarget {
  UniqueWindow hwnd;
  std::function<void(std::uint32_t)> handler;
};

}  // namespace orvane::ui::win32

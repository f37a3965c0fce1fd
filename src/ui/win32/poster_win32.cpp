// Posters for other threads: a message-only window each.
#include "ui/win32/win32_platform.h"

#include "ui/win32/poster_win32.h"

namespace orvane::ui::win32 {

constexpr UINT kPostedMessage = WM_APP + 12;
constexpr wchar_t kPosterClass[] = L"OrvanePoster";

namespace {

LRESULT CALLBACK PosterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPostedMessage) {
    auto* target = reinterpret_cast<PostTarget*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (target && target->handler) target->handler(static_cast<std::uint32_t>(wParam));
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterPosterClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = PosterProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kPosterClass;
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::function<void(std::uint32_t)> Win32Platform::MakePoster(std::function<void(std::uint32_t)> handler) {
  static const bool registered = RegisterPosterClass();
  if (!registered) return {};
  auto target = std::make_unique<PostTarget>();
  target->hwnd.reset(::CreateWindowExW(0, kPosterClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       ::GetModuleHandleW(nullptr), nullptr));
  if (!target->hwnd) return {};
  target->handler = std::move(handler);
  HWND hwnd = target->hwnd.get();
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target.get()));
  posters_.push_back(std::move(target));
  return [hwnd](std::uint32_t code) { ::PostMessageW(hwnd, kPostedMessage, code, 0); };
}

}  // namespace orvane::ui::win32

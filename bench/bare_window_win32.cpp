// The floor for start-up and memory figures: a borderless 593x413 window,
// centred, drawing one line of Chinese text in the main window's font. With the
// argument "timer" it also takes a 100 ms timer and does nothing on its ticks,
// the floor for the CPU of a window that keeps such a timer.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HFONT font = CreateFontW(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                               FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0, L"宋体");
      HGDIOBJ old = SelectObject(dc, font);
      const wchar_t text[] = L"系统修复工具";
      TextOutW(dc, 20, 20, text, lstrlenW(text));
      SelectObject(dc, old);
      DeleteObject(font);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"OrvaneBenchBare";
  RegisterClassW(&wc);
  const int width = 593, height = 413;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_POPUP,
                              (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                              nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOW);
  if (args != nullptr && lstrcmpW(args, L"timer") == 0) SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

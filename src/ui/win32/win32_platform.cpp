#include "ui/win32/win32_platform.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/text.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "resources/catalogue.h"
#include "ui/win32/form_window.h"
#include "ui/win32/poster_win32.h"

namespace orvane::ui::win32 {

namespace {

constexpr std::uint16_t kProgramNameString = 999;
constexpr std::uint16_t kNoWindowString = 3000;

int ScreenDpi() {
  ScopedWindowDc screen(nullptr);
  int dpi = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;
}

struct ThreadWindows {
  HWND except;
  std::vector<HWND> found;
};

BOOL CALLBACK NoteEnabledWindow(HWND hwnd, LPARAM param) {
  auto* windows = reinterpret_cast<ThreadWindows*>(param);
  if (hwnd != windows->except && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) windows->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

Win32Platform::Win32Platform(int dpi)
    : dpi_(dpi > 0 ? dpi : ScreenDpi()),
      fixedDpi_(dpi > 0),
      twipsPerPixel_(1440.0f / static_cast<float>(dpi_)),
      fonts_(dpi_),
      measureDc_(::CreateCompatibleDC(nullptr)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
}

Win32Platform::~Win32Platform() {
  // Windows first: they hold fonts from the cache.
  windows_.clear();
}

int Win32Platform::ToPixels(Twips twips) const {
  return static_cast<int>(std::lround(twips / twipsPerPixel_));
}

TextSize Win32Platform::MeasureText(const std::string& text, const Font& font) {
  if (!measureDc_) return {};
  ScopedSelect select(measureDc_.get(), fonts_.Get(font));
  std::u16string wide = Utf8ToUtf16(text);
  SIZE extent{};
  ::GetTextExtentPoint32W(measureDc_.get(), reinterpret_cast<const wchar_t*>(wide.c_str()),
                          static_cast<int>(wide.size()), &extent);
  // A slanted last glyph reaches past its advance; count that in, or it is cut off.
  ABC last{};
  if (!wide.empty() && ::GetCharABCWidthsW(measureDc_.get(), wide.back(), wide.back(), &last) && last.abcC < 0) {
    extent.cx -= last.abcC;
  }
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(measureDc_.get(), &metrics);
  return {ToTwips(extent.cx), ToTwips(std::max<int>(extent.cy, metrics.tmHeight))};
}

TextSize Win32Platform::PictureSize(std::uint16_t bitmapId) {
  // The skin is designed at 96 dpi and drawn scaled: its sizes in twips stay.
  // Read from the stored header: no bitmap is made only to be measured.
  const StoredBitmap stored = FindSkinBitmap(bitmapId);
  SIZE size{stored.width, stored.height};
  if (stored.pixels == nullptr) {
    UniqueBitmap bitmap = LoadBitmapResource(bitmapId);
    size = BitmapSize(bitmap.get());
  }
  constexpr Twips kDesignTwipsPerPixel = 15.0f;
  return {static_cast<Twips>(size.cx) * kDesignTwipsPerPixel, static_cast<Twips>(size.cy) * kDesignTwipsPerPixel};
}

int Win32Platform::DpiOf(HWND hwnd) const {
  if (fixedDpi_ || hwnd == nullptr) return dpi_;
  // Windows 10 1607 and later; before that every window has the system's.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(hwnd) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : dpi_;
}

FormWindow* Win32Platform::Open(Form& form, HWND owner) {
  if (FormWindow* existing = PeerOf(form)) return existing;
  windows_.push_back(std::make_unique<FormWindow>(*this, form, owner));
  if (windows_.back()->Handle() != nullptr) return windows_.back().get();
  WindowFailed(form);
  return nullptr;
}

// Nothing would ever end a loop waiting for a window that does not exist.
void Win32Platform::WindowFailed(Form& form) {
  Close(form);
  form.Close();
  if (onWindowFailed) {
    onWindowFailed();
    return;
  }
  ::MessageBoxW(nullptr, Wide(LoadString(kNoWindowString)).c_str(),
                Wide(LoadString(kProgramNameString)).c_str(), MB_OK | MB_ICONERROR);
  ::ExitProcess(1);
}

FormWindow* Win32Platform::PeerOf(const Form& form) const {
  for (const auto& window : windows_) {
    if (window->GetForm() == &form) return window.get();
  }
  return nullptr;
}

HWND Win32Platform::WindowOf(const Form& form) const {
  FormWindow* window = PeerOf(form);
  return window != nullptr ? window->Handle() : nullptr;
}

std::size_t Win32Platform::OwnedBitmapCount() const {
  std::size_t count = 0;
  for (const auto& window : windows_) count += window->BitmapCount();
  return count;
}

HWND Win32Platform::ActiveFormWindow() const {
  HWND active = ::GetActiveWindow();
  for (const auto& window : windows_) {
    if (window->Handle() == active && active != nullptr) return active;
  }
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    HWND hwnd = (*it)->Handle();
    if (hwnd != nullptr && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) return hwnd;
  }
  return nullptr;
}

void Win32Platform::Show(Form& form) {
  form.Load();
  if (form.Closed()) return;
  if (FormWindow* window = Open(form, nullptr)) window->Reveal();
}

void Win32Platform::ShowModal(Form& form, Form* owner) {
  form.Load();
  if (form.Closed()) return;
  HWND ownerWindow = owner != nullptr ? WindowOf(*owner) : ActiveFormWindow();

  // Every other window of the program takes no input while the form is open.
  ThreadWindows others{nullptr, {}};
  ::EnumThreadWindows(::GetCurrentThreadId(), NoteEnabledWindow, reinterpret_cast<LPARAM>(&others));
  for (HWND hwnd : others.found) ::EnableWindow(hwnd, FALSE);

  FormWindow* window = Open(form, ownerWindow);
  if (window != nullptr) window->Reveal();
  modal_.push_back(&form);
  MSG msg{};
  while (!form.Closed() && PeerOf(form) != nullptr) {
    int got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
      break;
    }
    Dispatch(msg);
  }
  modal_.pop_back();

  // Enable the others before the form goes, so that activation returns to them.
  for (HWND hwnd : others.found) {
    if (::IsWindow(hwnd)) ::EnableWindow(hwnd, TRUE);
  }
  Close(form);
  if (ownerWindow != nullptr && ::IsWindow(ownerWindow)) ::SetActiveWindow(ownerWindow);
}

void Win32Platform::Close(Form& form) {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [&](const std::unique_ptr<FormWindow>& window) { return window->GetForm() == &form; });
  if (it == windows_.end()) return;
  std::unique_ptr<FormWindow> closing = std::move(*it);
  windows_.erase(it);
  closing.reset();
}

void Win32Platform::Dispatch(MSG& msg) {
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  ReapClosed();
}

void Win32Platform::ReapClosed() {
  for (std::size_t i = 0; i < windows_.size();) {
    Form* form = windows_[i]->GetForm();
    bool modal = std::find(modal_.begin(), modal_.end(), form) != modal_.end();
    if ((form == nullptr || form->Closed()) && !modal && !windows_[i]->Busy()) {
      std::unique_ptr<FormWindow> closing = std::move(windows_[i]);
      windows_.erase(windows_.begin() + static_cast<std::ptrdiff_t>(i));
      closing.reset();
    } else {
      ++i;
    }
  }
}

int Win32Platform::RunMessageLoop() {
  MSG msg{};
  while (!windows_.empty()) {
    int got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) return got == 0 ? static_cast<int>(msg.wParam) : 1;
    Dispatch(msg);
  }
  return 0;
}

void Win32Platform::DoEvents() {
  MSG msg{};
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    Dispatch(msg);
  }
}

void Win32Platform::DoPaintEvents() {
  // Bounded: a window that never validates itself would keep asking.
  MSG msg{};
  for (int i = 0; i < 256 && ::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
    ::DispatchMessageW(&msg);
  }
}

void Win32Platform::MessageBox(const std::string& text, const std::string& caption, MessageBoxIcon icon) {
  UINT type = MB_OK | (icon == MessageBoxIcon::Information ? MB_ICONINFORMATION : 0);
  ::MessageBoxW(ActiveFormWindow(), Wide(text).c_str(), Wide(caption).c_str(), type);
}

CursorHandle Win32Platform::LoadHandCursor() {
  return reinterpret_cast<CursorHandle>(::LoadCursorA(nullptr, "#32649"));
}

void Win32Platform::SetCursor(CursorHandle cursor) {
  ::SetCursor(reinterpret_cast<HCURSOR>(cursor));
}

void Win32Platform::DragWindow(Form& form) {
  HWND hwnd = WindowOf(form);
  if (hwnd == nullptr) return;
  std::int32_t zero = 0;
  ::ReleaseCapture();
  ::SendMessageA(hwnd, 0xA1, 2, reinterpret_cast<LPARAM>(&zero));
}

int Win32Platform::PopupMenu(Form& form, const std::vector<std::string>& lines, std::optional<Rect> place) {
  FormWindow* window = PeerOf(form);
  HWND hwnd = WindowOf(form);
  UniqueHmenu menu(::CreatePopupMenu());
  if (hwnd == nullptr || !menu) return -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ::AppendMenuW(menu.get(), MF_STRING, i + 1, Wide(lines[i]).c_str());
  }
  POINT at{};
  if (place && window != nullptr) {
    at = {window->ToPixels(place->left), window->ToPixels(place->top + place->height)};
    ::ClientToScreen(hwnd, &at);
  } else {
    ::GetCursorPos(&at);
  }
  ::SetForegroundWindow(hwnd);
  int chosen = static_cast<int>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                 at.x, at.y, 0, hwnd, nullptr));
  return chosen - 1;
}

void Win32Platform::EndProgram() {
  ::ExitProcess(0);
}

}  // namespace orvane::ui::win32

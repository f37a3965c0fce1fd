// Test helper for the end-to-end suite: a screen reader's view of a window of
// the running program, through the system's accessibility library.
//   orvane_e2e_acc dump main|dialog      one line per child, tab-separated:
//                                        id role state(hex) name description action
//   orvane_e2e_acc do main|dialog <id>   the child's default action
//   orvane_e2e_acc focus main|dialog     the focused child's id
//   orvane_e2e_acc watch main|dialog <ms>  the child id of each focus event, as they come
//   orvane_e2e_acc tip                   the text of each visible tool tip, a line each
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cwchar>
#include <string>

namespace {

// Spelled out: MinGW's import library may lack it.
const IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct Search {
  bool main;
  HWND found;
};

// The program's windows: "main" is titled Orvane, "dialog" is any other.
BOOL CALLBACK Match(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  wchar_t cls[64] = {};
  wchar_t title[128] = {};
  ::GetClassNameW(hwnd, cls, 64);
  ::GetWindowTextW(hwnd, title, 128);
  if (std::wcscmp(cls, L"OrvaneForm") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
  if ((std::wcscmp(title, L"Orvane") == 0) == search->main) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

void Print(const std::wstring& text) {
  int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// One text property of a child; the BSTR is read only after the call.
template <class Getter>
std::wstring Read(Getter get) {
  BSTR text = nullptr;
  HRESULT hr = get(&text);
  std::wstring out = SUCCEEDED(hr) && text != nullptr ? std::wstring(text, ::SysStringLen(text)) : L"";
  ::SysFreeString(text);
  for (wchar_t& c : out) {
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  }
  return out;
}

BOOL CALLBACK PrintTip(HWND hwnd, LPARAM) {
  wchar_t cls[64] = {}, text[2048] = {};
  ::GetClassNameW(hwnd, cls, 64);
  // WM_GETTEXT itself: GetWindowText of another process's window reads its title, not the tip.
  DWORD_PTR got = 0;
  if (::IsWindowVisible(hwnd) && _wcsicmp(cls, TOOLTIPS_CLASSW) == 0 &&
      ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got) &&
      got > 0) {
    Print(std::wstring(text) + L"\n");
  }
  return TRUE;
}

HWND watched = nullptr;

void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
  if (hwnd == watched && object == OBJID_CLIENT) Print(std::to_wstring(child) + L"\n");
}

int Watch(HWND window, DWORD milliseconds) {
  watched = window;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnFocusEvent, process, 0,
                                         WINEVENT_OUTOFCONTEXT);
  if (hook == nullptr) return 1;
  const DWORD end = ::GetTickCount() + milliseconds;
  for (DWORD now = ::GetTickCount(); static_cast<LONG>(end - now) > 0; now = ::GetTickCount()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  ::UnhookWinEvent(hook);
  return 0;
}

VARIANT Child(long id) {
  VARIANT child;
  ::VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

std::wstring Line(IAccessible* acc, long id) {
  VARIANT child = Child(id), role, state;
  ::VariantInit(&role);
  ::VariantInit(&state);
  acc->get_accRole(child, &role);
  acc->get_accState(child, &state);
  std::wstring line = std::to_wstring(id) + L"\t" + std::to_wstring(role.vt == VT_I4 ? role.lVal : -1) + L"\t";
  wchar_t hex[16];
  std::swprintf(hex, 16, L"%lx", state.vt == VT_I4 ? state.lVal : 0L);
  line += hex;
  line += L"\t" + Read([&](BSTR* out) { return acc->get_accName(child, out); });
  line += L"\t" + Read([&](BSTR* out) { return acc->get_accDescription(child, out); });
  line += L"\t" + Read([&](BSTR* out) { return acc->get_accDefaultAction(child, out); });
  return line + L"\n";
}

int Run(const std::wstring& command, IAccessible* acc, long id) {
  if (command == L"dump") {
    long count = 0;
    acc->get_accChildCount(&count);
    Print(Line(acc, CHILDID_SELF));
    VARIANT children[64];
    LONG got = 0;
    if (count > 64 || FAILED(::AccessibleChildren(acc, 0, count, children, &got))) return 1;
    for (LONG i = 0; i < got; ++i) {
      if (children[i].vt == VT_I4) Print(Line(acc, children[i].lVal));
      ::VariantClear(&children[i]);
    }
    return 0;
  }
  if (command == L"do") {
    HRESULT hr = acc->accDoDefaultAction(Child(id));
    wchar_t text[32];
    std::swprintf(text, 32, L"%08lx\n", static_cast<unsigned long>(hr));
    Print(text);
    return SUCCEEDED(hr) ? 0 : 1;
  }
  if (command == L"focus") {
    VARIANT focus;
    ::VariantInit(&focus);
    HRESULT hr = acc->get_accFocus(&focus);
    Print(std::to_wstring(hr == S_OK && focus.vt == VT_I4 ? focus.lVal : -1) + L"\n");
    return 0;
  }
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wcscmp(argv[1], L"tip") == 0) return !::EnumWindows(PrintTip, 0);
  if (argc < 3) return 2;
  Search search{std::wcscmp(argv[2], L"main") == 0, nullptr};
  ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) {
    Print(L"no window\n");
    return 1;
  }
  if (std::wcscmp(argv[1], L"watch") == 0) {
    return Watch(search.found, argc > 3 ? static_cast<DWORD>(std::wcstol(argv[3], nullptr, 10)) : 1000);
  }
  ::CoInitialize(nullptr);
  IAccessible* acc = nullptr;
  HRESULT hr = ::AccessibleObjectFromWindow(search.found, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                            reinterpret_cast<void**>(&acc));
  int rc = 1;
  if (SUCCEEDED(hr) && acc != nullptr) {
    rc = Run(argv[1], acc, argc > 3 ? std::wcstol(argv[3], nullptr, 10) : 0);
    acc->Release();
  } else {
    wchar_t text[48];
    std::swprintf(text, 48, L"AccessibleObjectFromWindow %08lx\n", static_cast<unsigned long>(hr));
    Print(text);
  }
  ::CoUninitialize();
  return rc;
}

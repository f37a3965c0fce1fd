// Changes a registry value the way another program would and times how long
// until something puts it back. Usage:
//   orvane_bench_tamper restore|floor HKCU|HKLM KEY NAME EXPECTED COUNT [32]
//   orvane_bench_tamper storm HKCU|HKLM KEY NAME RATE MILLISECONDS [32]
//   orvane_bench_tamper ping TITLE MILLISECONDS
// restore: something else (the program in lock mode) puts the value back.
// floor: a bare watcher thread in this process does it, with the same calls.
// storm: writes a new value RATE times a second for that long, then prints
// how many writes it made.
// ping: sends the window titled TITLE a message every 20 ms for that long
// and prints how long its thread took to answer (median, worst).
// Prints each latency in milliseconds, then the median and the maximum; exit
// code 1 when a tamper was not put back within two seconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Target {
  HKEY root;
  std::wstring key, name, expected;
  REGSAM view;
};

HKEY Open(const Target& t) {
  HKEY key = nullptr;
  RegCreateKeyExW(t.root, t.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | t.view, nullptr, &key, nullptr);
  return key;
}

std::wstring Read(HKEY key, const std::wstring& name) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t), type = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
    return L"";
  }
  return buffer;
}

void Write(HKEY key, const std::wstring& name, const std::wstring& text) {
  RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The floor: puts the value back whenever it changes, nothing else.
DWORD WINAPI BareRestorer(void* param) {
  const Target& t = *static_cast<Target*>(param);
  HKEY key = Open(t);
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  for (;;) {
    RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event, TRUE);
    if (Read(key, t.name) != t.expected) Write(key, t.name, t.expected);
    WaitForSingleObject(event, INFINITE);
  }
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Spread evenly over the time: the write due at each moment, none skipped.
int Storm(const Target& t, int rate, int milliseconds) {
  HKEY key = Open(t);
  if (!key || rate <= 0) return 2;
  const ULONGLONG start = GetTickCount64();
  long long written = 0;
  for (ULONGLONG now = start; now - start < static_cast<ULONGLONG>(milliseconds); now = GetTickCount64()) {
    const long long due = static_cast<long long>(now - start) * rate / 1000 + 1;
    for (; written < due; ++written) Write(key, t.name, L"http://storm.example/" + std::to_wstring(written));
    Sleep(1);
  }
  std::printf("%lld writes\n", written);
  std::fflush(stdout);
  ExitProcess(0);
}

int Ping(const wchar_t* title, int milliseconds) {
  HWND window = FindWindowW(nullptr, title);
  if (!window) return 2;
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> answers;
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  while (GetTickCount64() < end) {
    DWORD_PTR result = 0;
    QueryPerformanceCounter(&start);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    QueryPerformanceCounter(&now);
    answers.push_back(Milliseconds(start, now, frequency));
    Sleep(20);
  }
  std::sort(answers.begin(), answers.end());
  std::printf("window answered %zu messages: median %.2f ms, max %.2f ms\n", answers.size(),
              answers.empty() ? 0 : answers[answers.size() / 2], answers.empty() ? 0 : answers.back());
  std::fflush(stdout);
  ExitProcess(0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && wcscmp(argv[1], L"ping") == 0) return Ping(argv[2], _wtoi(argv[3]));
  if (argc < 7) return 2;
  Target t{wcscmp(argv[2], L"HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, argv[3], argv[4], argv[5],
           static_cast<REGSAM>(argc > 7 && wcscmp(argv[7], L"32") == 0 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY)};
  const int count = _wtoi(argv[6]);
  if (wcscmp(argv[1], L"storm") == 0) return Storm(t, _wtoi(argv[5]), count);
  if (wcscmp(argv[1], L"floor") == 0) CreateThread(nullptr, 0, BareRestorer, &t, 0, nullptr);
  HKEY key = Open(t);
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> latencies;
  int lost = 0;
  srand(GetCurrentProcessId());
  for (int i = 0; i < count; ++i) {
    Sleep(50 + rand() % 250);  // a different moment each time
    RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event, TRUE);
    Write(key, t.name, L"http://tampered.example/" + std::to_wstring(i));
    QueryPerformanceCounter(&start);
    bool back = false;
    do {
      WaitForSingleObject(event, 100);
      RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event, TRUE);
      back = Read(key, t.name) == t.expected;
      QueryPerformanceCounter(&now);
    } while (!back && Milliseconds(start, now, frequency) < 2000);
    if (!back) {
      ++lost;
      Write(key, t.name, t.expected);
      continue;
    }
    latencies.push_back(Milliseconds(start, now, frequency));
    std::printf("%.2f\n", latencies.back());
  }
  std::sort(latencies.begin(), latencies.end());
  const double median = latencies.empty() ? 0 : latencies.size() % 2 ? latencies[latencies.size() / 2]
                        : (latencies[latencies.size() / 2 - 1] + latencies[latencies.size() / 2]) / 2;
  std::printf("median %.2f ms, max %.2f ms, over %zu tampers, %d not put back\n", median,
              latencies.empty() ? 0 : latencies.back(), latencies.size(), lost);
  std::fflush(stdout);
  ExitProcess(lost == 0 ? 0 : 1);
}

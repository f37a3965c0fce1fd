// Stands in for a system program (copied over regsvr32.exe in a Wine prefix,
// run with WINEDLLOVERRIDES=regsvr32.exe=n): appends its command line to
// stand-in.log beside itself, so scripts can count what was started. Files
// beside it, each holding one word, steer it:
//   stand-in-fail.txt   a command line holding the word waits 3 s, then exits 3 (else 0);
//   stand-in-class.txt  a command line holding the word registers a class:
//                       HKCR\CLSID\{kClass}\InprocServer32 = the library it names.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kClass[] = L"CLSID\\{5F4E3D2C-1B0A-4987-8654-3210FEDCBA98}\\InprocServer32";

// The word in a steering file, or empty.
std::string Word(const std::wstring& path) {
  char word[64] = {};
  DWORD read = 0;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  ReadFile(file, word, sizeof word - 1, &read, nullptr);
  CloseHandle(file);
  std::string text(word, read);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

// The last argument, without its quotes: the library.
std::wstring Library(std::wstring line) {
  while (!line.empty() && line.back() == L' ') line.pop_back();
  if (!line.empty() && line.back() == L'"') {
    line.pop_back();
    return line.substr(line.find_last_of(L'"') + 1);
  }
  return line.substr(line.find_last_of(L' ') + 1);
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring stem(self);
  stem = stem.substr(0, stem.find_last_of(L"\\/") + 1) + L"stand-in";
  HANDLE file = CreateFileW((stem + L".log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, 0, nullptr);
  const std::wstring command = GetCommandLineW();
  std::wstring line = command + L"\n";
  std::string bytes(line.begin(), line.end());  // the lines are ASCII
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);

  const std::string registers = Word(stem + L"-class.txt");
  if (!registers.empty() && bytes.find(registers) != std::string::npos) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kClass, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      const std::wstring library = Library(command);
      RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(library.c_str()),
                     static_cast<DWORD>((library.size() + 1) * sizeof(wchar_t)));
      RegCloseKey(key);
    }
  }
  const std::string fails = Word(stem + L"-fail.txt");
  if (fails.empty() || bytes.find(fails) == std::string::npos) return 0;
  Sleep(3000);  // long enough for a row that shows its result too early to be seen doing it
  return 3;
}

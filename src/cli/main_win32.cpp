// orvane-cli: the console program. Text goes to the console as wide
// characters, or as UTF-8 when redirected; --json is ASCII.
#include <windows.h>

#include <string>
#include <vector>

#include "browsers/win32/shell_links.h"
#include "cli/cli.h"
#include "cli/guard_win32.h"
#include "platform/text.h"
#include "platform/win32/accounts.h"
#include "platform/win32/command_runner_win32.h"
#include "platform/win32/file_store_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_library.h"
#include "resources/catalogue.h"
#include "settings/win32/config_file_win32.h"

namespace {

class StdOut : public orvane::cli::Console {
 public:
  void Write(const std::string& text, bool) override { Put(STD_OUTPUT_HANDLE, text); }
  void Warn(const std::string& text) override { Put(STD_ERROR_HANDLE, text); }

 private:
  static void Put(DWORD stream, const std::string& text) {
    HANDLE out = ::GetStdHandle(stream);
    DWORD mode = 0, written = 0;
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    if (::GetConsoleMode(out, &mode)) {
      std::u16string wide = orvane::Utf8ToUtf16(crlf);
      ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
      return;
    }
    ::WriteFile(out, crlf.data(), static_cast<DWORD>(crlf.size()), &written, nullptr);
  }
};

std::wstring FullPath(const std::wstring& path) {
  DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  size = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) return path;
  full.resize(size);
  return full;
}

std::string VersionText() {
  orvane::ProgramVersion v = orvane::LoadProgramVersion();
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) + "." +
         std::to_string(v.revision);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace orvane;
  LoadLibrariesFromSystemOnly();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    // The configuration is read by a function that takes a bare name from the Windows folder.
    if (i > 1 && std::wstring(argv[i - 1]) == L"--config") arg = FullPath(arg);
    args.push_back(Utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
  }
  Win32Registry registry;
  Win32CommandRunner commands;
  Win32FileStore files;
  WindowsConfigFiles configFiles;
  std::unique_ptr<cli::GuardHost> guard = cli::MakeWin32GuardHost();
  Win32ShortcutStore shortcuts;
  cli::Services services{registry, commands, files, configFiles, VersionText(), RunningAsSystem(), AccountOfSid,
                         guard.get(), &shortcuts};
  StdOut out;
  return cli::Run(args, services, out);
}

#pragma once
// Runs a host program from /bin under Wine, the host paths of `files` after
// its arguments (to plant what Windows programs cannot make there, such as a
// host link), then waits until `done` holds.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/wide_text.h"

namespace orvane::testing {

inline void RunOnHost(const std::string& command, std::initializer_list<std::filesystem::path> files,
                      const std::function<bool()>& done) {
  using UnixName = char* (*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr);
  std::string line = command;
  for (const std::filesystem::path& file : files) line += std::string(" \"") + unixName(file.c_str()) + "\"";
  std::wstring wide = Wide(line);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(Wide("Z:\\bin\\" + command.substr(0, command.find(' '))).c_str(), wide.data(),
                               nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process));
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  for (int i = 0; i < 1000 && !done(); ++i) ::Sleep(10);
}

}  // namespace orvane::testing

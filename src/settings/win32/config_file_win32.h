#pragma once
// The configuration file on Windows: GetPrivateProfileStringW for reading, the ANSI code page
// (or UTF-16 when the text does not fit it) for the file's text, the program's one file
// writer to make the new file and move it in place.
#include <map>
#include <memory>
#include <string>

#include "platform/win32/own_file_win32.h"
#include "settings/config_file.h"

namespace orvane {

class WindowsConfigFiles : public ConfigFiles {
 public:
  WindowsConfigFiles();  // the folder of the running executable
  explicit WindowsConfigFiles(std::string programFolder) : folder_(std::move(programFolder)) {}

  std::string ProgramFolder() override { return folder_; }
  std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view fallback) override;
  NewFile WriteNewFile(const std::string& path, std::string_view text) override;
  bool MoveOver(const std::string& from, const std::string& to) override;
  void Remove(const std::string& path) override;
  std::string UniqueTag() override;
  long LastError() const override { return lastError_; }

 private:
  std::string folder_;
  long lastError_ = 0;
  std::map<std::string, std::unique_ptr<Win32OwnFile>> made_;  // new files not yet moved or removed
};

// The running executable's folder, from GetModuleFileNameW.
std::string ExecutableFolder();

// UTF-8 text in the ANSI code page; characters the code page lacks become its
// default character.
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace orvane

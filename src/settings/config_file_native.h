#pragma once
// Host stand-in for the configuration file's file system: Windows paths map to host paths
// ("\" becomes "/"), the ANSI code page is UTF-8 itself, and the lookup is ProfileString.
#include <string>

#include "settings/config_file.h"

namespace orvane {

class HostConfigFiles : public ConfigFiles {
 public:
  explicit HostConfigFiles(std::string programFolder) : folder_(std::move(programFolder)) {}

  std::string ProgramFolder() override { return folder_; }
  std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view fallback) override;
  NewFile WriteNewFile(const std::string& path, std::string_view text) override;
  bool MoveOver(const std::string& from, const std::string& to) override;
  void Remove(const std::string& path) override;
  std::string UniqueTag() override;

  static std::string HostPath(const std::string& path);

 private:
  std::string folder_;
};

}  // namespace orvane

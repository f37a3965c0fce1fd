#pragma once
// The one way the program makes files: created new (a file, folder or link
// already at the name is never opened, a link is never followed), checked with
// the open handle that it is where the path says, then written, moved and
// removed only through that handle.
#include <memory>
#include <string>

#include "platform/file_store.h"
#include "platform/win32/unique_handle.h"

namespace orvane {

class Win32OwnFile : public OwnFile {
 public:
  static std::unique_ptr<Win32OwnFile> Create(const std::string& path, CreateResult& result);
  ~Win32OwnFile() override = default;

  const std::string& Path() const override { return path_; }
  bool Write(std::string_view bytes) override;
  bool Append(std::string_view bytes) override;
  void Discard() override;
  bool MoveOver(const std::string& target) override;

 private:
  Win32OwnFile(UniqueKernelHandle file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}
  // Writes the bytes from `origin` (FILE_BEGIN or FILE_END) and flushes.
  bool WriteAt(DWORD origin, std::string_view bytes);
  UniqueKernelHandle file_;
  std::string path_;
};

// True when the open handle's file is the one the full path names.
bool HandleIsAt(HANDLE file, const std::wstring& path);

}  // namespace orvane

#include "settings/config_file_native.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include "settings/ini_lookup.h"

namespace orvane {
namespace {

// A value cut at the buffer's end may end inside a character; that partial character goes.
std::string DropPartialCharacter(std::string text) {
  std::size_t start = text.size();
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return text;
  unsigned char lead = static_cast<unsigned char>(text[start - 1]);
  std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (text.size() - (start - 1) < need) text.resize(start - 1);
  return text;
}

// The file's bytes; empty when it does not exist, nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& hostPath) {
  int fd = ::open(hostPath.c_str(), O_RDONLY);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
  std::string bytes;
  char chunk[4096];
  ssize_t n;
  while ((n = ::read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<std::size_t>(n));
  ::close(fd);
  if (n < 0) return std::nullopt;
  return bytes;
}

}  // namespace

std::string HostConfigFiles::HostPath(const std::string& path) {
  std::string out = path;
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

std::string HostConfigFiles::ReadString(const std::string& path, std::string_view section,
                                        std::string_view key, std::string_view fallback) {
  std::optional<std::string> bytes = ReadWholeFile(HostPath(path));
  std::optional<std::string_view> text;
  if (bytes) text = *bytes;
  // Room for any value the file or the default can hold.
  const std::size_t whole = (bytes ? bytes->size() : 0) + fallback.size() + 2;
  return DropPartialCharacter(ProfileString(text, section, key, fallback, whole));
}

NewFile HostConfigFiles::WriteNewFile(const std::string& path, std::string_view text) {
  int fd = ::open(HostPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
  if (fd < 0) return errno == EEXIST ? NewFile::Exists : NewFile::Failed;
  bool ok = true;
  while (ok && !text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) ok = false;
    else text.remove_prefix(static_cast<std::size_t>(n));
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok ? NewFile::Written : NewFile::Failed;
}

bool HostConfigFiles::MoveOver(const std::string& from, const std::string& to) {
  return std::rename(HostPath(from).c_str(), HostPath(to).c_str()) == 0;
}

void HostConfigFiles::Remove(const std::string& path) { std::remove(HostPath(path).c_str()); }

std::string HostConfigFiles::UniqueTag() {
  static unsigned counter = 0;
  return std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

}  // namespace orvane

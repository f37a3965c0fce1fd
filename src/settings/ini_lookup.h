#pragma once
// GetPrivateProfileString's answer for one key, worked out from an INI file's text.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// The buffer the configuration reader passes: 255 bytes of value and a terminating zero.
constexpr std::size_t kProfileBufferSize = 256;

// fileText: the file's bytes, empty for a missing file, nullopt for a file that exists but
// cannot be read. The result is what the function leaves in a buffer of bufferSize bytes.
// Matching and cutting work on bytes, so the text must be ASCII-compatible with no ASCII
// bytes inside multibyte characters (UTF-8 is).
std::string ProfileString(std::optional<std::string_view> fileText, std::string_view section,
                          std::string_view key, std::string_view fallback,
                          std::size_t bufferSize = kProfileBufferSize);

}  // namespace orvane

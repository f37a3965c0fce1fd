#pragma once
// Whether a file given with --config can be a configuration at all, decided
// before anything reads it as one.
#include <cstddef>
#include <string>

#include "platform/file_store.h"

namespace orvane::cli {

constexpr std::size_t kConfigLimit = 64 * 1024;

// Lines that are blank, comments, [sections] or key=value, in UTF-8, the ANSI
// code page or UTF-16LE with its byte-order mark; no NUL in an 8-bit file.
bool LooksLikeIni(const std::string& bytes);

// Empty when the file can be read as a configuration; otherwise why not
// (unreadable, larger than kConfigLimit, not an INI file). Reads at most
// kConfigLimit + 1 bytes.
std::string ConfigProblem(FileStore& files, const std::string& path);

}  // namespace orvane::cli

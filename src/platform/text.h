#pragma once
// Conversions between UTF-8 (the core's text) and UTF-16 (the system's).
// Lossless for any UTF-16: a lone surrogate becomes its own three-byte form
// (WTF-8) and comes back as it was; nulls are kept.
#include <string>
#include <string_view>

namespace orvane {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Folds ASCII letters only, as a stable key for case-blind comparisons.
std::string AsciiLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace orvane

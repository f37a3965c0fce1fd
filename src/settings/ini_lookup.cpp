#include "settings/ini_lookup.h"

#include "platform/text.h"

namespace orvane {
namespace {

// Blanks as the profile reader counts them: tab to CR, space, and ^Z (DOS end of file).
bool IsProfileBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsProfileBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names and values are zero-terminated strings once read: a zero byte ends them.
std::string_view UpToZero(std::string_view s) { return s.substr(0, s.find('\0')); }

bool NameMatches(std::string_view stored, std::string_view wanted) {
  return EqualsNoCase(UpToZero(stored), wanted);
}

// Copies a value into the buffer, dropping one pair of enclosing quotes ('...' or "...").
// When the value only just fits, the closing quote is already cut and one more byte goes.
std::string CopyEntry(std::string_view value, std::size_t bufferSize) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string out(value.substr(0, bufferSize - 1));
  if (quoted && bufferSize >= value.size() && !out.empty()) out.pop_back();
  return out;
}

// The default loses trailing spaces, though never its first character.
std::string_view TrimFallback(std::string_view fallback) {
  while (fallback.size() > 1 && fallback.back() == ' ') fallback.remove_suffix(1);
  return fallback;
}

// The value of the key in the first section of that name; nullopt when the section, the key
// or the key's "=" is missing.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  bool inSection = section.empty();  // lines before any header form a nameless section
  bool sawSection = inSection;
  while (!text.empty()) {
    std::size_t end = text.find_first_of("\r\n");
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end);
    while (!text.empty() && (text.front() == '\r' || text.front() == '\n')) text.remove_prefix(1);
    if (line.empty()) continue;

    if (line.front() == '[') {
      std::size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        if (sawSection) return std::nullopt;  // only the first section of a name counts
        inSection = sawSection = NameMatches(Trim(line.substr(1, close - 1)), section);
        continue;
      }
    }
    if (!inSection) continue;
    std::size_t eq = line.find('=');
    std::string_view name = Trim(line.substr(0, eq));
    if (!NameMatches(name, key)) continue;
    if (eq == std::string_view::npos) return std::nullopt;
    return UpToZero(Trim(line.substr(eq + 1)));
  }
  return std::nullopt;
}

}  // namespace

std::string ProfileString(std::optional<std::string_view> fileText, std::string_view section,
                          std::string_view key, std::string_view fallback,
                          std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  fallback = TrimFallback(UpToZero(fallback));
  if (!fileText) return std::string(fallback.substr(0, bufferSize - 1));
  std::optional<std::string_view> value = FindValue(*fileText, Trim(section), Trim(key));
  return CopyEntry(value ? *value : fallback, bufferSize);
}

}  // namespace orvane

#pragma once
// Just enough JSON writing for the console program's reports. The output is
// ASCII: every other character is a \uXXXX escape (a surrogate pair beyond
// U+FFFF), so any code page reads it the same.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace orvane::cli {

// The version of the documents' layout; it changes only when a field changes meaning.
constexpr int kJsonSchema = 1;

inline std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (char16_t c : Utf8ToUtf16(utf8)) {
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// "name":value, with a comma before all but the first field of an object.
inline void JsonField(std::string& out, std::string_view name, const std::string& value) {
  if (!out.empty() && out.back() != '{' && out.back() != '[') out += ',';
  out += JsonString(name) + ":" + value;
}

// Adds an element to an array opened with "[".
inline void JsonAppend(std::string& array, const std::string& element) {
  if (array.size() > 1) array += ',';
  array += element;
}

// A document's opening: {"schema":1,"command":"..."
inline std::string JsonDocument(std::string_view command) {
  std::string out = "{";
  JsonField(out, "schema", std::to_string(kJsonSchema));
  JsonField(out, "command", JsonString(command));
  return out;
}

}  // namespace orvane::cli

#pragma once
// Just enough JSON writing for the console program's reports.
#include <cstdio>
#include <string>
#include <string_view>

namespace orvane::cli {

inline std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
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

}  // namespace orvane::cli

#pragma once
// UTF-8, the core's text, to and from the wide strings of the W functions.
#include <string>
#include <string_view>

#include "platform/text.h"

namespace orvane {

inline std::wstring Wide(std::string_view utf8) {
  std::u16string units = Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace orvane

#include "platform/system_message.h"

#include <windows.h>

#include <memory>

#include "platform/text.h"

namespace orvane {
namespace {

struct LocalFreer {
  void operator()(wchar_t* p) const { ::LocalFree(p); }
};

}  // namespace

std::string SystemMessage(long code) {
  wchar_t* buffer = nullptr;
  DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0,
                                  nullptr);
  std::unique_ptr<wchar_t, LocalFreer> owner(buffer);
  std::string text =
      length ? Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), length)) : std::string();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace orvane

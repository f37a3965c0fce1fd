#include "settings/app_config.h"

#include "platform/text.h"

namespace orvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// host[:port], the host a name of letters, digits, hyphens and dots (any
// non-ASCII letter too) or a bracketed IPv6 address.
bool HostLike(std::string_view authority) {
  std::string_view host = authority;
  const std::size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
    const std::string_view port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5) return false;
    for (char c : port) if (!IsDigit(c)) return false;
    host = authority.substr(0, colon);
  }
  if (host.empty() || host.front() == '.' || host.front() == '-') return false;
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    for (char c : host.substr(1, host.size() - 2)) {
      if (!IsDigit(c) && c != ':' && c != '.' && !((c | 0x20) >= 'a' && (c | 0x20) <= 'f')) return false;
    }
    return true;
  }
  for (char c : host) {
    const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
    if (!letter && !IsDigit(c) && c != '-' && c != '.' && static_cast<unsigned char>(c) < 0x80) return false;
  }
  return true;
}

}  // namespace

bool IsSafePage(std::string_view page) {
  if (page.empty() || EqualsNoCase(page, "about:blank")) return true;
  for (char c : page) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '\\') return false;
  }
  std::string_view rest = page;
  if (StartsWithNoCase(page, "http://")) {
    rest.remove_prefix(7);
  } else if (StartsWithNoCase(page, "https://")) {
    rest.remove_prefix(8);
  }
  return HostLike(rest.substr(0, rest.find_first_of("/?#")));
}

const char* const DefaultSearchPage = "http://www.baidu.com";

}  // namespace orvane

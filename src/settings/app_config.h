#pragma once
// The two user settings the browser repairs apply.
#include <string>
#include <string_view>

namespace orvane {

struct AppConfig {
  std::string HomePage;  // start page address
  std::string SEO;       // search page address
};

// Whether a start or search page may be given to the browser: http and https
// addresses, about:blank, and addresses without a scheme that begin with a host
// name ("www.example.org/path"). Every other scheme (file:, javascript:, res:,
// ...), UNC and local paths could run code when another user opens the
// browser, and are refused. Empty is accepted: the repairs use their fallback.
bool IsSafePage(std::string_view page);

// A web search engine's home page: "http://" and its host, no path.
extern const char* const DefaultSearchPage;

}  // namespace orvane

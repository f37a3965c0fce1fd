#pragma once
// The two user settings the browser repairs apply.
#include <string>

namespace orvane {

struct AppConfig {
  std::string HomePage;  // start page address
  std::string SEO;       // search page address
};

// A web search engine's home page: "http://" and its host, no path.
extern const char* const DefaultSearchPage;

}  // namespace orvane

#include "browsers/policy_catalogue.h"

#include <array>

#include "platform/text.h"

namespace orvane {
namespace {

constexpr std::array<PolicyName, 13> kChromiumNames = {{
    {"HomepageLocation", Effect::HomePage, PolicyData::Text},
    {"HomepageIsNewTabPage", Effect::HomePage, PolicyData::Number},
    {"RestoreOnStartup", Effect::StartPages, PolicyData::Number},
    {"RestoreOnStartupURLs", Effect::StartPages, PolicyData::Subkey},
    {"NewTabPageLocation", Effect::NewTab, PolicyData::Text},
    {"DefaultSearchProvider", Effect::Search, PolicyData::TextOrNumber, true},
    {"ExtensionInstallForcelist", Effect::Extensions, PolicyData::Subkey},
    {"ExtensionSettings", Effect::Extensions, PolicyData::Text},
    {"ProxyMode", Effect::Proxy, PolicyData::Text},
    {"ProxyServer", Effect::Proxy, PolicyData::Text},
    {"ProxyPacUrl", Effect::Proxy, PolicyData::Text},
    {"ProxySettings", Effect::Proxy, PolicyData::Text},
    // An older switch that still sets the proxy from the machine's settings.
    {"ProxyServerMode", Effect::Proxy, PolicyData::Number},
}};

constexpr std::array<PolicyName, 5> kFirefoxNames = {{
    {"Homepage", Effect::HomePage, PolicyData::Subkey},
    {"SearchEngines", Effect::Search, PolicyData::Subkey},
    {"Extensions", Effect::Extensions, PolicyData::Subkey},
    {"ExtensionSettings", Effect::Extensions, PolicyData::Text},
    {"Proxy", Effect::Proxy, PolicyData::Subkey},
}};

struct Family {
  Browser browser;
  std::string_view key;  // below SOFTWARE\Policies
  std::span<const PolicyName> names;
  bool recommended;
};

constexpr std::array<Family, 4> kFamilies = {{
    {Browser::Edge, R"(Microsoft\Edge)", kChromiumNames, true},
    {Browser::Chrome, R"(Google\Chrome)", kChromiumNames, true},
    {Browser::Brave, R"(BraveSoftware\Brave)", kChromiumNames, true},
    {Browser::Firefox, R"(Mozilla\Firefox)", kFirefoxNames, false},
}};

std::vector<PolicyPlace> BuildPlaces() {
  std::vector<PolicyPlace> places;
  for (const Family& family : kFamilies) {
    const std::string key = R"(SOFTWARE\Policies\)" + std::string(family.key);
    for (const std::string& path : {key, key + R"(\Recommended)"}) {
      if (path != key && !family.recommended) continue;
      places.push_back({family.browser, RegRoot::LocalMachine, path, family.names});
      places.push_back({family.browser, RegRoot::CurrentUser, path, family.names});
    }
  }
  return places;
}

}  // namespace

std::string_view BrowserName(Browser browser) {
  switch (browser) {
    case Browser::Edge: return "Microsoft Edge";
    case Browser::Chrome: return "Google Chrome";
    case Browser::Brave: return "Brave";
    case Browser::Firefox: return "Mozilla Firefox";
  }
  return {};
}

const std::vector<PolicyPlace>& PolicyPlaces() {
  static const std::vector<PolicyPlace> places = BuildPlaces();
  return places;
}

const PolicyName* MatchPolicy(const PolicyPlace& place, std::string_view name) {
  for (const PolicyName& entry : place.names) {
    if (entry.prefix ? StartsWithNoCase(name, entry.name) : EqualsNoCase(name, entry.name)) return &entry;
  }
  return nullptr;
}

std::span<const PolicyName> FirefoxPolicyNames() { return kFirefoxNames; }

}  // namespace orvane

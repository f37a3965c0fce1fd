#pragma once
// The browser policies that take a start page, search engine, extensions or
// proxy over: which keys they live in and which names are theirs. Every other
// policy belongs to whoever manages the machine and is never read or changed.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace orvane {

enum class Browser : std::uint8_t { Edge, Chrome, Brave, Firefox };
enum class Effect : std::uint8_t { HomePage, StartPages, NewTab, Search, Extensions, Proxy };

// What a value of the policy holds; a value of another type is listed as such.
enum class PolicyData : std::uint8_t { Text, Number, TextOrNumber, Subkey };

struct PolicyName {
  std::string_view name;
  Effect effect;
  PolicyData data;
  bool prefix = false;  // every name that begins so ("DefaultSearchProvider*")
};

// One key the browser reads its policies from.
struct PolicyPlace {
  Browser browser;
  RegRoot root;
  std::string path;
  std::span<const PolicyName> names;
};

std::string_view BrowserName(Browser browser);

// Machine and user keys of every browser, the Chromium family's Recommended
// subkeys too. SOFTWARE\Policies is one key in both registry views (a 32-bit
// program writing there reaches the same key), so each is read once.
const std::vector<PolicyPlace>& PolicyPlaces();

// The catalogue entry `name` (a value or subkey of `place`) falls under, or null.
const PolicyName* MatchPolicy(const PolicyPlace& place, std::string_view name);

// The Firefox policy names, which policies.json uses as well.
std::span<const PolicyName> FirefoxPolicyNames();

}  // namespace orvane

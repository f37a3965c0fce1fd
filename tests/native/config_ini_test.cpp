#include "settings/ini_lookup.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {
namespace {

using namespace std::string_literals;

struct LookupCase {
  const char* what;
  std::string text;
  const char* key;
  std::string expected;
};

// Section IEConfig, default "dflt" unless a case says otherwise.
TEST(IniLookup, FindsKeysAsTheProfileReaderDoes) {
  const std::string a300(300, 'a');
  const LookupCase cases[] = {
      {"plain", "[IEConfig]\r\nHomePage=http://a\r\nSEO=http://b\r\n", "SEO", "http://b"},
      {"blanks around names and values", "  [ IEConfig ]  \r\n \t HomePage \t=  x y \t\r\n",
       "HomePage", "x y"},
      {"key without =", "[IEConfig]\r\nHomePage\r\nHomePage=x\r\n", "HomePage", "dflt"},
      {"nothing after =", "[IEConfig]\r\nHomePage=\r\n", "HomePage", ""},
      {"double quotes", "[IEConfig]\r\nHomePage=\" x \"\r\n", "HomePage", " x "},
      {"unmatched quotes", "[IEConfig]\r\nHomePage=\"x'\r\n", "HomePage", "\"x'"},
      {"inner quote kept", "[IEConfig]\r\nHomePage=\"a\"b\"\r\n", "HomePage", "a\"b"},
      {"only the first section of a name", "[IEConfig]\r\nSEO=s\r\n[IEConfig]\r\nHomePage=x\r\n",
       "HomePage", "dflt"},
      {"CR line ends", "[IEConfig]\rHomePage=x\r", "HomePage", "x"},
      {"text after ]", "[IEConfig] ; note\r\nHomePage=x\r\n", "HomePage", "x"},
      {"header without ]", "[IEConfig\r\nHomePage=x\r\n", "HomePage", "dflt"},
      {"UTF-8 signature", "\xEF\xBB\xBF[IEConfig]\r\nHomePage=x\r\n", "HomePage", "x"},
      {"zero byte ends value", "[IEConfig]\r\nHomePage=ab\0cd\r\n"s, "HomePage", "ab"},
      {"long quoted value cut", "[IEConfig]\r\nHomePage=\"" + a300 + "\"\r\n", "HomePage",
       a300.substr(0, 255)},
      // The closing quote falls outside the buffer and one more byte goes with it.
      {"quoted 255 bytes", "[IEConfig]\r\nHomePage=\"" + a300.substr(0, 255) + "\"\r\n",
       "HomePage", a300.substr(0, 254)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileString(c.text, "IEConfig", c.key, "dflt"), c.expected) << c.what;
  }
}

TEST(IniLookup, DefaultsFollowTheFileState) {
  const std::string text = "[IEConfig]\r\nSEO=x\r\n";
  EXPECT_EQ(ProfileString(std::nullopt, "IEConfig", "HomePage", "about:blank"), "about:blank");
  // Trailing spaces of the default go, though never its first character.
  EXPECT_EQ(ProfileString(text, "IEConfig", "HomePage", "d  "), "d");
  EXPECT_EQ(ProfileString(text, "IEConfig", "HomePage", "   "), " ");
  // Quotes around the default go only when the file could be read.
  EXPECT_EQ(ProfileString(text, "IEConfig", "HomePage", "'q'"), "q");
  EXPECT_EQ(ProfileString(std::nullopt, "IEConfig", "HomePage", "'q'"), "'q'");
  // Names asked for are trimmed too.
  EXPECT_EQ(ProfileString(text, " IEConfig ", " seo ", "d"), "x");
  EXPECT_EQ(ProfileString(text, "IEConfig", "SEO", "d", 1), "");
  EXPECT_EQ(ProfileString(text, "IEConfig", "HomePage", "default", 4), "def");
}

}  // namespace
}  // namespace orvane

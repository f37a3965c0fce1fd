#pragma once
// Config.ini texts and what the profile reader answers for them. The Wine tests
// hold every answer to the system's GetPrivateProfileStringA; the host tests
// hold the portable reader to the same answers.
#include <string>
#include <vector>

namespace orvane::testing {

struct IniCase {
  std::string text;
  const char* section;
  const char* key;
  const char* fallback;
  std::string expected;
};

inline std::vector<IniCase> IniCases() {
  using namespace std::string_literals;
  const std::string a300(300, 'a');
  const char* s = "IEConfig";
  return {
      {"[IEConfig]\r\nHomePage=http://a\r\nSEO=http://b\r\n", s, "SEO", "d", "http://b"},
      {"  [ ieCONFIG ]  \r\n \t homepage \t=  x y \t\r\n", s, "HomePage", "d", "x y"},
      {"[IEConfig]\r\nHomePage\r\nHomePage=x\r\n", s, "HomePage", "d", "d"},
      {"[IEConfig]\r\nHomePage=\r\n", s, "HomePage", "d", ""},
      {"[IEConfig]\r\nHomePage=\" x \"\r\n", s, "HomePage", "d", " x "},
      {"[IEConfig]\r\nHomePage=\"x'\r\n", s, "HomePage", "d", "\"x'"},
      {"[IEConfig]\r\nHomePage=\"a\"b\"\r\n", s, "HomePage", "d", "a\"b"},
      {"[IEConfig]\r\nSEO=s\r\n[IEConfig]\r\nHomePage=x\r\n", s, "HomePage", "d", "d"},
      {"[IEConfig]\rHomePage=x\r", s, "HomePage", "d", "x"},
      {"[IEConfig] ; note\r\nHomePage=x\r\n", s, "HomePage", "d", "x"},
      {"[IEConfig\r\nHomePage=x\r\n", s, "HomePage", "d", "d"},
      {"\xEF\xBB\xBF[IEConfig]\r\nHomePage=x\r\n", s, "HomePage", "d", "x"},
      {"[IEConfig]\r\nHomePage=ab\0cd\r\n"s, s, "HomePage", "d", "ab"},
      {"[IEConfig]\r\nHomePage=\"" + a300 + "\"\r\n", s, "HomePage", "d", a300.substr(0, 255)},
      // The closing quote falls outside the buffer and one more byte goes with it.
      {"[IEConfig]\r\nHomePage=\"" + a300.substr(0, 255) + "\"\r\n", s, "HomePage", "d", a300.substr(0, 254)},
      {"[设置]\r\n主页=http://例子.中国\r\n", "设置", "主页", "d", "http://例子.中国"},
      // Trailing spaces of the default go; quotes around it too when the file was read.
      {"[IEConfig]\r\nSEO=x\r\n", s, "HomePage", "d  ", "d"},
      {"[IEConfig]\r\nSEO=x\r\n", s, "HomePage", "'q'", "q"},
      {"[IEConfig]\r\nSEO=x\r\n", " IEConfig ", " seo ", "d", "x"},
  };
}

}  // namespace orvane::testing

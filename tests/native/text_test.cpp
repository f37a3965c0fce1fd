#include "platform/text.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

// Any UTF-16, lonely surrogates and nulls included, survives the way through
// UTF-8; malformed UTF-8 becomes the replacement character.
TEST(Text, Utf8AndUtf16RoundTrip) {
  const std::string samples[] = {"", "regsvr32 /s jscript.dll", "无法打开\"我的电脑\"", "a\xF0\x9F\x98\x80z"};
  for (const auto& s : samples) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80").size(), 2u);  // surrogate pair
  for (const std::u16string& units : std::initializer_list<std::u16string>{u"a\xD800" u"b", u"\xDC00", u"\xDBFF\xDBFF\xDC00", {u"x\0y", 3}}) {
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(units)), units);
  }
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), (std::u16string{u'a', 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), (std::u16string{0xFFFD}));  // overlong
}

TEST(Text, CaseBlindComparisonsFoldAsciiOnly) {
  EXPECT_TRUE(EqualsNoCase("About:Blank", "about:blank"));
  EXPECT_TRUE(StartsWithNoCase("HTTP://x", "http://"));
  EXPECT_FALSE(StartsWithNoCase("http:/", "http://"));
  EXPECT_FALSE(EqualsNoCase("\xC3\x84", "\xC3\xA4"));
}

}  // namespace
}  // namespace orvane

#include "settings/ini_lookup.h"

#include <gtest/gtest.h>

#include "support/ini_cases.h"

namespace orvane {
namespace {

TEST(IniLookup, AnswersAsTheProfileReaderDoes) {
  int index = 0;
  for (const auto& c : testing::IniCases()) {
    EXPECT_EQ(ProfileString(c.text, c.section, c.key, c.fallback), c.expected) << "case " << index++;
  }
  // No file: the default as given; a default of blanks keeps its first one; short buffers.
  EXPECT_EQ(ProfileString(std::nullopt, "IEConfig", "HomePage", "'q'"), "'q'");
  EXPECT_EQ(ProfileString("", "IEConfig", "HomePage", "   "), " ");
  EXPECT_EQ(ProfileString("[IEConfig]\r\nSEO=x\r\n", "IEConfig", "SEO", "d", 1), "");
  EXPECT_EQ(ProfileString("", "IEConfig", "HomePage", "default", 4), "def");
}

}  // namespace
}  // namespace orvane

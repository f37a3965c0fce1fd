// The generated table the host build answers from. The Wine tests hold the
// built program's resources to this same table.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/catalogue.h"
#include "resources/resource_table.h"

namespace orvane {
namespace {

TEST(ResourceTable, EscapesSurviveAndEveryIdentifierIsThereOnce) {
  // Texts a generator would spoil: the lone CR ending 2001 and 2002, ASCII quotes in 106.
  for (std::uint16_t id : {2001, 2002}) {
    const std::string text = LoadString(id);
    EXPECT_EQ(text.find_first_of("\r\n"), text.size() - 1) << id;
    EXPECT_TRUE(text.ends_with('\r')) << id;
  }
  EXPECT_EQ(std::ranges::count(LoadString(106), '"'), 4);
  EXPECT_EQ(LoadString(1000), "您未选择任何修复项");
  EXPECT_EQ(LoadString(1004), "");
  const auto strings = resource_table::Strings();
  EXPECT_TRUE(std::ranges::adjacent_find(strings, [](auto& a, auto& b) { return a.id >= b.id; }) == strings.end());
  const auto pictures = resource_table::Pictures();
  EXPECT_TRUE(std::ranges::adjacent_find(pictures, [](auto& a, auto& b) { return a.id >= b.id; }) == pictures.end());
  EXPECT_FALSE(LoadPictureInfo(100).exists());
  EXPECT_EQ(LoadPictureInfo(106).width, 595);
}

}  // namespace
}  // namespace orvane

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "resources/catalogue.h"
#include "resources/resource_table.h"
#include "support/expected_resources.h"

namespace orvane {
namespace {

TEST(ResourceStrings, TableIsExactAndHoldsNothingElse) {
  std::set<std::uint16_t> wanted;
  for (const auto& e : expected::kStrings) {
    EXPECT_EQ(LoadString(e.id), e.utf8) << "string " << e.id;
    wanted.insert(e.id);
  }
  // The program's own texts (3000 and up) are checked where they are used.
  std::set<std::uint16_t> present;
  for (const auto& e : resource_table::Strings()) {
    EXPECT_TRUE(present.insert(e.id).second) << "string " << e.id << " twice";
  }
  // Identifiers from 3000 up belong to the program's own additions.
  std::erase_if(present, [&](std::uint16_t id) { return id >= 3000 && !wanted.count(id); });
  EXPECT_EQ(present, wanted);
  for (std::uint16_t id : expected::kAbsentStrings) EXPECT_EQ(LoadString(id), "") << id;

  // Texts a retyping would spoil: the lone CR ending 2001 and 2002, ASCII quotes in 106.
  for (std::uint16_t id : {2001, 2002}) {
    const std::string text = LoadString(id);
    EXPECT_EQ(text.find_first_of("\r\n"), text.size() - 1) << id;
    EXPECT_TRUE(text.ends_with('\r')) << id;
  }
  EXPECT_EQ(std::ranges::count(LoadString(106), '"'), 4);
}

TEST(ResourcePictures, SizesAndDepths) {
  for (const auto& p : expected::kPictures) {
    const PictureInfo info = LoadPictureInfo(p.id);
    EXPECT_EQ(info.width, p.width) << p.id;
    EXPECT_EQ(info.height, p.height) << p.id;
    EXPECT_EQ(info.depth, p.depth) << p.id;
  }
  EXPECT_EQ(resource_table::Pictures().size(), std::size(expected::kPictures));
  for (std::uint16_t id : expected::kAbsentPictures) EXPECT_FALSE(LoadPictureInfo(id).exists()) << id;
}

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<unsigned char>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// The files windres embeds: 8-bit pictures carry a full 256-colour table,
// 24-bit ones none, and the pixel data is complete.
TEST(ResourcePictures, SkinFilesAreWellFormed) {
  for (const auto& p : expected::kPictures) {
    const auto bmp = ReadFile(std::string(ORVANE_SOURCE_DIR) + "/src/resources/skin/" + std::to_string(p.id) + ".bmp");
    ASSERT_GE(bmp.size(), 54u) << p.id;
    EXPECT_EQ(U16(bmp, 0), 0x4D42u) << p.id;  // "BM"
    EXPECT_EQ(U32(bmp, 14), 40u) << p.id;  // BITMAPINFOHEADER
    EXPECT_EQ(U16(bmp, 28), p.depth) << p.id;
    EXPECT_EQ(U32(bmp, 30), 0u) << p.id;  // BI_RGB
    const std::size_t table = p.depth == 8 ? 256 * 4 : 0;
    EXPECT_EQ(U32(bmp, 10), 54 + table) << p.id;
    const std::size_t stride = (static_cast<std::size_t>(p.width) * p.depth / 8 + 3) & ~std::size_t{3};
    EXPECT_GE(bmp.size(), 54 + table + stride * p.height) << p.id;
  }
}

}  // namespace
}  // namespace orvane

#include <gtest/gtest.h>

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

TEST(ResourceStrings, EveryTextIsExact) {
  for (const auto& e : expected::kStrings) {
    EXPECT_EQ(LoadString(e.id), e.utf8) << "string " << e.id;
  }
}

TEST(ResourceStrings, TableHoldsNothingElse) {
  std::set<std::uint16_t> wanted;
  for (const auto& e : expected::kStrings) wanted.insert(e.id);
  std::set<std::uint16_t> present;
  for (const auto& e : resource_table::Strings()) {
    EXPECT_TRUE(wanted.count(e.id)) << "unexpected string " << e.id;
    EXPECT_TRUE(present.insert(e.id).second) << "string " << e.id << " twice";
  }
  EXPECT_EQ(present, wanted);
  for (std::uint16_t id : expected::kAbsentStrings) EXPECT_EQ(LoadString(id), "") << id;
}

TEST(ResourceStrings, AboutTextsKeepTheirLoneCarriageReturn) {
  for (std::uint16_t id : {2001, 2002}) {
    const std::string text = LoadString(id);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.back(), '\r') << id;
    EXPECT_EQ(text.find('\n'), std::string::npos) << id;
    EXPECT_EQ(text.find('\r'), text.size() - 1) << id;
  }
  for (std::uint16_t id : {2003, 2004}) EXPECT_EQ(LoadString(id).find('\r'), std::string::npos) << id;
}

TEST(ResourceStrings, ItemTextQuotesAreAscii) {
  const std::string text = LoadString(106);
  std::size_t quotes = 0;
  for (char c : text) quotes += c == '"';
  EXPECT_EQ(quotes, 4u);
  EXPECT_EQ(text.find("\xE2\x80\x9C"), std::string::npos);  // no typographic quotes
}

TEST(ResourcePictures, SizesAndDepths) {
  for (const auto& p : expected::kPictures) {
    const PictureInfo info = LoadPictureInfo(p.id);
    EXPECT_TRUE(info.exists()) << p.id;
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
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(U32(bmp, 14), 40u) << p.id;  // BITMAPINFOHEADER
    EXPECT_EQ(U16(bmp, 28), p.depth) << p.id;
    EXPECT_EQ(U32(bmp, 30), 0u) << p.id;  // BI_RGB
    const std::uint32_t colours = U32(bmp, 46);
    const std::size_t table = p.depth == 8 ? 256 * 4 : 0;
    if (p.depth == 8) {
      EXPECT_TRUE(colours == 256 || colours == 0) << p.id;
    }
    EXPECT_EQ(U32(bmp, 10), 54 + table) << p.id;
    const std::size_t stride = (static_cast<std::size_t>(p.width) * p.depth / 8 + 3) & ~std::size_t{3};
    EXPECT_GE(bmp.size(), 54 + table + stride * p.height) << p.id;
  }
}

TEST(ResourceIcon, OneImage32By32With256Colours) {
  const auto ico = ReadFile(std::string(ORVANE_SOURCE_DIR) + "/src/resources/orvane.ico");
  ASSERT_GE(ico.size(), 22u + 40u);
  EXPECT_EQ(U16(ico, 0), 0);
  EXPECT_EQ(U16(ico, 2), 1);  // icon
  ASSERT_EQ(U16(ico, 4), 1);  // one image
  EXPECT_EQ(ico[6], 32);
  EXPECT_EQ(ico[7], 32);
  EXPECT_EQ(U16(ico, 12), 8);
  const std::uint32_t size = U32(ico, 14), offset = U32(ico, 18);
  ASSERT_EQ(offset + size, ico.size());
  EXPECT_EQ(U32(ico, offset), 40u);
  EXPECT_EQ(U32(ico, offset + 4), 32u);
  EXPECT_EQ(U32(ico, offset + 8), 64u);  // colour and mask rows
  EXPECT_EQ(U16(ico, offset + 14), 8);
  EXPECT_EQ(size, 40u + 256 * 4 + 32 * 32 + 32 * 4);
}

TEST(ResourceVersion, IsOnePointZeroPointZeroPointNine) {
  const ProgramVersion v = LoadProgramVersion();
  EXPECT_EQ(v.major, 1);
  EXPECT_EQ(v.minor, 0);
  EXPECT_EQ(v.build, 0);
  EXPECT_EQ(v.revision, 9);
}

}  // namespace
}  // namespace orvane

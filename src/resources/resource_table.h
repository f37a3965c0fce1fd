#pragma once
// The string table and the bitmaps' sizes as data, generated at build time from
// the same sources as the resource script. The host build answers from it.
#include <cstdint>
#include <span>
#include <string_view>

#include "resources/catalogue.h"

namespace orvane::resource_table {

struct StringEntry {
  std::uint16_t id;
  std::string_view text;  // UTF-8
};

struct PictureEntry {
  std::uint16_t id;
  int width;
  int height;
  int depth;
};

std::span<const StringEntry> Strings();    // sorted by id
std::span<const PictureEntry> Pictures();  // sorted by id
ProgramVersion Version();

}  // namespace orvane::resource_table

// Host build: the catalogue answers from the generated resource table.
#include <algorithm>

#include "resources/catalogue.h"
#include "resources/resource_table.h"

namespace orvane {
namespace {

template <typename Entry>
const Entry* Find(std::span<const Entry> table, std::uint16_t id) {
  auto it = std::lower_bound(table.begin(), table.end(), id,
                             [](const Entry& e, std::uint16_t key) { return e.id < key; });
  return it != table.end() && it->id == id ? &*it : nullptr;
}

}  // namespace

std::string LoadString(std::uint16_t id) {
  const auto* entry = Find(resource_table::Strings(), id);
  return entry ? std::string(entry->text) : std::string();
}

PictureInfo LoadPictureInfo(std::uint16_t id) {
  const auto* entry = Find(resource_table::Pictures(), id);
  if (!entry) return {};
  return {entry->width, entry->height, entry->depth};
}

ProgramVersion LoadProgramVersion() { return resource_table::Version(); }

}  // namespace orvane

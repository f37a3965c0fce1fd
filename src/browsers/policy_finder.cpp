#include "browsers/policy_finder.h"

#include <cstdio>

#include "platform/text.h"
#include "repair/key_tree.h"

namespace orvane {
namespace {

constexpr std::uint32_t kMultiSz = 7;
constexpr std::uint32_t kQword = 11;

bool TypeFits(PolicyData data, RegType type) {
  const bool text = type == RegType::Sz || type == RegType::ExpandSz ||
                    static_cast<std::uint32_t>(type) == kMultiSz;
  const bool number = type == RegType::Dword;
  switch (data) {
    case PolicyData::Text: return text;
    case PolicyData::Number: return number;
    case PolicyData::TextOrNumber: return text || number;
    case PolicyData::Subkey: return false;
  }
  return false;
}

std::string ShowKey(RegistryService& registry, RegRoot root, const std::string& path) {
  std::vector<TreeKey> tree;
  ReadKeyTree(registry, root, path, tree);
  std::string shown;
  for (const TreeKey& key : tree) {
    std::string below = key.path.size() > path.size() ? key.path.substr(path.size() + 1) + "\\" : "";
    for (const auto& [name, value] : key.values) {
      if (!shown.empty()) shown += "; ";
      shown += below + name + "=" + ShowRegValue(value);
    }
  }
  return shown;
}

PolicyHit Hit(const PolicyPlace& place, const PolicyName& entry, const std::string& name, bool isKey,
              const std::string& sid) {
  PolicyHit hit;
  hit.browser = place.browser;
  hit.effect = entry.effect;
  hit.root = place.root;
  hit.keyPath = place.path;
  hit.sid = sid;
  hit.name = name;
  hit.isKey = isKey;
  return hit;
}

void FindIn(RegistryService& registry, const PolicyPlace& place, const std::string& sid, std::vector<PolicyHit>& hits) {
  RegKey key(registry);
  if (key.Open(place.root, place.path, kKeyRead) != regerr::kSuccess) return;
  std::string name;
  RegValue value;
  for (std::uint32_t i = 0; registry.EnumValue(key.Get(), i, name, value) == regerr::kSuccess; ++i) {
    const PolicyName* entry = MatchPolicy(place, name);
    if (!entry) continue;
    PolicyHit hit = Hit(place, *entry, name, false, sid);
    hit.type = value.type;
    hit.unexpectedType = !TypeFits(entry->data, value.type);
    hit.shown = ShowRegValue(value);
    if (hit.unexpectedType && !hit.shown.starts_with(RegTypeName(value.type))) {
      hit.shown = RegTypeName(value.type) + " " + hit.shown;
    }
    hits.push_back(std::move(hit));
  }
  RegKeyInfo info;
  if (registry.QueryInfoKey(key.Get(), info) != regerr::kSuccess) return;
  std::vector<std::string> subkeys;
  for (std::uint32_t i = 0; i < info.subkeys; ++i) {
    if (registry.EnumKey(key.Get(), i, info.maxSubkeyLen + 1, name) == regerr::kSuccess) {
      subkeys.push_back(name.substr(0, name.find('\0')));
    }
  }
  for (const std::string& subkey : subkeys) {
    const PolicyName* entry = MatchPolicy(place, subkey);
    if (!entry) continue;
    PolicyHit hit = Hit(place, *entry, subkey, true, sid);
    hit.shown = ShowKey(registry, place.root, place.path + "\\" + subkey);
    hits.push_back(std::move(hit));
  }
}

}  // namespace

std::string RegTypeName(RegType type) {
  switch (static_cast<std::uint32_t>(type)) {
    case 0: return "REG_NONE";
    case 1: return "REG_SZ";
    case 2: return "REG_EXPAND_SZ";
    case 3: return "REG_BINARY";
    case 4: return "REG_DWORD";
    case kMultiSz: return "REG_MULTI_SZ";
    case kQword: return "REG_QWORD";
  }
  return "type " + std::to_string(static_cast<std::uint32_t>(type));
}

std::string ShowRegValue(const RegValue& value) {
  const auto& d = value.data;
  switch (static_cast<std::uint32_t>(value.type)) {
    case 1:
    case 2: return value.AsText();
    case 4:
      if (d.size() == 4) return std::to_string(d[0] | d[1] << 8 | d[2] << 16 | std::uint32_t(d[3]) << 24);
      break;
    case kQword:
      if (d.size() == 8) {
        std::uint64_t n = 0;
        for (int i = 7; i >= 0; --i) n = n << 8 | d[i];
        return std::to_string(n);
      }
      break;
    case kMultiSz: {
      std::string shown;
      RegValue part{RegType::Sz, {}};
      for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
        if (d[i] == 0 && d[i + 1] == 0) {
          if (part.data.empty()) break;
          if (!shown.empty()) shown += "; ";
          shown += part.AsText();
          part.data.clear();
          continue;
        }
        part.data.push_back(d[i]);
        part.data.push_back(d[i + 1]);
      }
      if (!part.data.empty()) shown += (shown.empty() ? "" : "; ") + part.AsText();
      return shown;
    }
  }
  std::string shown = RegTypeName(value.type);
  char hex[4];
  for (std::uint8_t byte : d) {
    std::snprintf(hex, sizeof hex, " %02X", byte);
    shown += hex;
  }
  return shown;
}

std::vector<PolicyHit> FindPolicyHijacks(RegistryService& registry, const std::vector<std::string>* users) {
  std::vector<PolicyHit> hits;
  for (const PolicyPlace& place : PolicyPlaces()) {
    if (!users || place.root != RegRoot::CurrentUser) {
      FindIn(registry, place, "", hits);
      continue;
    }
    for (const std::string& sid : *users) {
      PolicyPlace theirs = place;
      theirs.root = RegRoot::Users;
      theirs.path = sid + "\\" + place.path;
      FindIn(registry, theirs, sid, hits);
    }
  }
  return hits;
}

long RemovePolicyHit(RegistryService& registry, const PolicyHit& hit) {
  long code;
  if (hit.isKey) {
    code = DeleteKeyTree(registry, hit.root, hit.keyPath + "\\" + hit.name);
  } else {
    RegKey key(registry);
    code = key.Open(hit.root, hit.keyPath, kKeyAllButDelete);
    if (code == regerr::kSuccess) code = registry.DeleteValue(key.Get(), hit.name);
  }
  return code == regerr::kFileNotFound ? regerr::kSuccess : code;
}

}  // namespace orvane

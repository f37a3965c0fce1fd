#include "platform/registry.h"

#include <utility>

#include "platform/text.h"

namespace orvane {

namespace {

// The first component of `path` and the rest after its backslash.
std::pair<std::string_view, std::string_view> FirstComponent(std::string_view path) {
  std::size_t cut = path.find('\\');
  if (cut == std::string_view::npos) return {path, {}};
  return {path.substr(0, cut), path.substr(cut + 1)};
}

}  // namespace

bool HasSeparateViews(RegRoot root, std::string_view path) {
  const std::string first = AsciiLower(FirstComponent(path).first);
  return (root == RegRoot::LocalMachine && first == "software") ||
         (root == RegRoot::ClassesRoot && first == "clsid");
}

std::string Wow64Path(RegRoot root, std::string_view path) {
  if (!HasSeparateViews(root, path)) return std::string(path);
  auto [first, rest] = FirstComponent(path);
  std::string out = root == RegRoot::LocalMachine ? std::string(first) + "\\Wow6432Node"
                                                  : "Wow6432Node\\" + std::string(first);
  if (!rest.empty()) out += "\\" + std::string(rest);
  return out;
}

std::optional<std::string> FromWow64Path(RegRoot root, std::string_view path) {
  auto [first, rest] = FirstComponent(path);
  auto [second, more] = FirstComponent(rest);
  std::string out;
  if (root == RegRoot::LocalMachine && AsciiLower(second) == "wow6432node") {
    out = std::string(first) + (more.empty() ? "" : "\\") + std::string(more);
  } else if (root == RegRoot::ClassesRoot && AsciiLower(first) == "wow6432node") {
    out = std::string(rest);
  }
  if (out.empty() || !HasSeparateViews(root, out)) return std::nullopt;
  return out;
}

RegValue RegValue::Text(RegType type, std::string_view utf8) {
  RegValue value;
  value.type = type;
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    value.data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    value.data.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  value.data.push_back(0);
  value.data.push_back(0);
  return value;
}

RegValue RegValue::Link(std::string_view target) {
  RegValue value = Text(RegType::Link, target);
  value.data.resize(value.data.size() - 2);
  return value;
}

std::string RegValue::AsLinkTarget() const {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return Utf16ToUtf8(units);
}

RegValue RegValue::Dword(std::uint32_t number) {
  RegValue value;
  value.type = RegType::Dword;
  for (int shift = 0; shift < 32; shift += 8) {
    value.data.push_back(static_cast<std::uint8_t>(number >> shift));
  }
  return value;
}

std::string RegValue::AsText() const {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return Utf16ToUtf8(units);
}

long LinkTarget(RegistryService& registry, RegHandle key, std::string& target) {
  target.clear();
  RegValue value;
  long code = registry.QueryValue(key, kLinkValueName, value);
  if (code != regerr::kSuccess) return code;
  if (value.type != RegType::Link) return regerr::kFileNotFound;
  target = value.AsLinkTarget();
  return regerr::kSuccess;
}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    Close();
    registry_ = other.registry_;
    handle_ = other.handle_;
    other.handle_ = 0;
  }
  return *this;
}

long RegKey::Create(RegRoot root, std::string_view path, RegView view) {
  Close();
  return registry_->CreateKey(root, path, view, handle_);
}

long RegKey::Open(RegRoot root, std::string_view path, std::uint32_t access, RegView view) {
  Close();
  return registry_->OpenKey(root, path, view, access, handle_);
}

long RegKey::OpenAsLink(RegRoot root, std::string_view path, std::uint32_t access, RegView view) {
  Close();
  return registry_->OpenKeyAsLink(root, path, view, access, handle_);
}

long RegKey::OpenSubkeyAsLink(RegHandle parent, std::string_view name, std::uint32_t access) {
  Close();
  return registry_->OpenSubkeyAsLink(parent, name, access, handle_);
}

void RegKey::Close() {
  if (handle_ != 0) {
    registry_->CloseKey(handle_);
    handle_ = 0;
  }
}

std::string ReadText(RegistryService& registry, RegRoot root, const std::string& path, std::string_view name) {
  RegKey key(registry);
  RegValue value;
  if (key.Open(root, path, kKeyRead) != regerr::kSuccess ||
      registry.QueryValue(key.Get(), name, value) != regerr::kSuccess ||
      (value.type != RegType::Sz && value.type != RegType::ExpandSz)) {
    return {};
  }
  return value.AsText();
}

}  // namespace orvane

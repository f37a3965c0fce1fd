// Windows build: strings, pictures and the version come from the module's own
// resources, read afresh on every call.
#include <windows.h>

#include <cstring>
#include <span>
#include <string_view>

#include "platform/text.h"
#include "platform/win32/unique_handle.h"
#include "resources/catalogue.h"
#include "resources/win32/picture_win32.h"

namespace orvane {
namespace {

constexpr WORD kLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// The bytes of a resource of this module, or an empty span.
std::span<const std::byte> ResourceBytes(LPCWSTR type, LPCWSTR name) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(module, type, name, kLanguage);
  if (!found) found = FindResourceW(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const std::byte*>(data), SizeofResource(module, found)};
}

std::uint16_t ReadWord(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint16_t value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

}  // namespace

std::string LoadString(std::uint16_t id) {
  // Strings live in blocks of sixteen, each a length-prefixed UTF-16 text;
  // reading the block directly keeps every character, a lone CR included.
  auto block = ResourceBytes(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1));
  std::size_t offset = 0;
  for (unsigned index = 0;; ++index) {
    if (offset + 2 > block.size()) return {};
    const std::size_t length = ReadWord(block, offset);
    offset += 2;
    if (offset + length * 2 > block.size()) return {};
    if (index == id % 16) {
      std::u16string text(length, u'\0');
      std::memcpy(text.data(), block.data() + offset, length * 2);
      return Utf16ToUtf8(text);
    }
    offset += length * 2;
  }
}

PictureInfo LoadPictureInfo(std::uint16_t id) {
  UniqueHbitmap bitmap(LoadSkinBitmap(id));
  BITMAP info{};
  if (!bitmap || GetObjectW(bitmap.get(), sizeof info, &info) != sizeof info) return {};
  return {static_cast<int>(info.bmWidth), static_cast<int>(info.bmHeight), static_cast<int>(info.bmBitsPixel)};
}

ProgramVersion LoadProgramVersion() {
  // VS_VERSIONINFO: wLength, wValueLength, wType, L"VS_VERSION_INFO", padding
  // to four bytes, then VS_FIXEDFILEINFO.
  auto block = ResourceBytes(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
  if (block.size() < 6) return {};
  const std::size_t value_length = ReadWord(block, 2);
  std::size_t offset = 6;
  while (offset + 2 <= block.size() && ReadWord(block, offset) != 0) offset += 2;
  offset = (offset + 2 + 3) & ~std::size_t{3};
  VS_FIXEDFILEINFO fixed;
  if (value_length < sizeof fixed || offset + sizeof fixed > block.size()) return {};
  std::memcpy(&fixed, block.data() + offset, sizeof fixed);
  if (fixed.dwSignature != VS_FFI_SIGNATURE) return {};
  return {static_cast<int>(HIWORD(fixed.dwFileVersionMS)), static_cast<int>(LOWORD(fixed.dwFileVersionMS)),
          static_cast<int>(HIWORD(fixed.dwFileVersionLS)), static_cast<int>(LOWORD(fixed.dwFileVersionLS))};
}

}  // namespace orvane

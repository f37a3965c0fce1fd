#include "resources/win32/picture_win32.h"

#include <cstdlib>

namespace orvane {

HBITMAP LoadSkinBitmap(std::uint16_t id) {
  // A DIB section keeps the stored depth; a plain bitmap would take the screen's.
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION));
}

StoredBitmap FindSkinBitmap(std::uint16_t id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = id != 0 ? FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2)) : nullptr;  // RT_BITMAP
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const auto* info = static_cast<const BITMAPINFO*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  const DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
  if (info == nullptr || size < sizeof(BITMAPINFOHEADER)) return {};
  const BITMAPINFOHEADER& header = info->bmiHeader;
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB || header.biPlanes != 1 || header.biBitCount == 0 ||
      header.biWidth <= 0 || header.biHeight == 0) {
    return {};
  }
  DWORD colours = header.biClrUsed;
  if (colours == 0 && header.biBitCount <= 8) colours = 1u << header.biBitCount;
  const DWORD stride = ((static_cast<DWORD>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  const DWORD height = static_cast<DWORD>(std::abs(header.biHeight));
  const DWORD offset = header.biSize + colours * sizeof(RGBQUAD);
  if (colours > 256 || height > size / stride || offset > size - stride * height) return {};
  return {info, reinterpret_cast<const BYTE*>(info) + offset, static_cast<int>(header.biWidth),
          static_cast<int>(height)};
}

}  // namespace orvane

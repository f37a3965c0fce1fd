#include "ui/win32/gdi_resources.h"

#include <cmath>
#include <cwchar>

#include "platform/text.h"
#include "platform/win32/wide_text.h"
#include "resources/win32/picture_win32.h"

namespace orvane::ui::win32 {

COLORREF ResolveColor(Color color) {
  if ((color & kSystemColorFlag) != 0) return ::GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

UniqueBitmap LoadBitmapResource(std::uint16_t id) {
  if (id == 0) return {};
  return UniqueBitmap(LoadSkinBitmap(id));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) != sizeof info) return {0, 0};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(const std::wstring& face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  ScopedWindowDc screen(nullptr);
  bool found = false;
  ::EnumFontFamiliesExW(screen.get(), &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

std::wstring FontCache::FaceFor(const Font& font) {
  auto key = std::make_pair(font.name, font.charset);
  auto found = faces_.find(key);
  if (found != faces_.end()) return found->second;

  std::wstring chosen;
  std::wstring asked = Wide(font.name);
  if (FaceInstalled(asked)) {
    chosen = asked;
  } else {
    // Chinese text needs a face that holds it; anything else takes a plain sans face.
    bool chinese = font.charset == GB2312_CHARSET || font.charset == CHINESEBIG5_CHARSET;
    for (wchar_t ch : asked) chinese = chinese || ch >= 0x2E80;
    static const wchar_t* const kChinese[] = {L"SimSun", L"NSimSun", L"Microsoft YaHei", L"WenQuanYi Micro Hei",
                                               L"WenQuanYi Zen Hei", L"Noto Sans CJK SC", L"AR PL UMing CN", nullptr};
    static const wchar_t* const kLatin[] = {L"Tahoma", L"Arial", L"Liberation Sans", L"DejaVu Sans", nullptr};
    const wchar_t* const* candidates = chinese ? kChinese : kLatin;
    for (; *candidates != nullptr; ++candidates) {
      if (FaceInstalled(*candidates)) {
        chosen = *candidates;
        break;
      }
    }
    // Empty: GDI picks a face for the character set.
  }
  faces_.emplace(key, chosen);
  return chosen;
}

HFONT FontCache::Get(const Font& font, int dpi) {
  std::uint64_t traits = static_cast<std::uint64_t>(std::lround(font.sizePt * 100.0f)) << 16 |
                         (font.bold ? 1u : 0u) | (font.italic ? 2u : 0u) | (font.underline ? 4u : 0u) |
                         static_cast<std::uint64_t>(font.charset & 0xFF) << 8;
  auto key = std::make_tuple(font.name, traits, dpi);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();

  int height = -static_cast<int>(std::lround(font.sizePt * static_cast<float>(dpi) / 72.0f));
  std::wstring face = FaceFor(font);
  HFONT created = ::CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE,
                                font.underline ? TRUE : FALSE, FALSE, static_cast<DWORD>(font.charset & 0xFF),
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                face.c_str());
  if (created == nullptr) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  return fonts_.emplace(key, UniqueFont(created)).first->second.get();
}

}  // namespace orvane::ui::win32

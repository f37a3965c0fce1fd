// The resources as built: orvane.exe opened as a data file and read with the
// system's resource functions must hold exactly the generated table the host
// build answers from, and the test program's own copy must load through the catalogue.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "platform/win32/unique_handle.h"
#include "resources/catalogue.h"
#include "resources/resource_table.h"
#include "resources/win32/picture_win32.h"

namespace orvane {
namespace {

struct LibraryTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool IsValid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<HMODULE, LibraryTraits>;

std::wstring ProgramPath() {
  wchar_t self[MAX_PATH];
  std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"orvane.exe";
}

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_.reset(LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module_) << "cannot open orvane.exe, error " << GetLastError();
  }
  std::string String(UINT id) const {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module_.get(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length)) : "";
  }
  UniqueModule module_;
};

TEST_F(ProgramResources, StringsAreExactlyTheTablesInChinesePrc) {
  auto entry = resource_table::Strings().begin();
  for (UINT id = 0; id <= 0xFFFF; ++id) {
    const bool listed = entry != resource_table::Strings().end() && entry->id == id;
    ASSERT_EQ(String(id), listed ? std::string(entry->text) : "") << "string " << id;
    if (listed) ++entry;
  }
  const WORD prc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
  EXPECT_NE(FindResourceExW(module_.get(), RT_STRING, MAKEINTRESOURCEW(1000 / 16 + 1), prc), nullptr);
  for (const auto& e : resource_table::Strings()) EXPECT_EQ(LoadString(e.id), e.text) << "catalogue " << e.id;
}

TEST_F(ProgramResources, BitmapsKeepTheTablesSizeAndDepth) {
  int count = 0;
  EnumResourceNamesW(module_.get(), RT_BITMAP, [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR n) {
    return ++*reinterpret_cast<int*>(n), TRUE;
  }, reinterpret_cast<LONG_PTR>(&count));
  EXPECT_EQ(count, static_cast<int>(resource_table::Pictures().size()));
  UniqueHdc dc(CreateCompatibleDC(nullptr));
  for (const auto& p : resource_table::Pictures()) {
    UniqueHbitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(module_.get(), MAKEINTRESOURCEW(p.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap) << p.id;
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bitmap.get(), sizeof dib, &dib), static_cast<int>(sizeof dib)) << p.id;
    EXPECT_EQ(dib.dsBm.bmWidth, p.width) << p.id;
    EXPECT_EQ(dib.dsBm.bmHeight, p.height) << p.id;
    EXPECT_EQ(dib.dsBmih.biBitCount, p.depth) << p.id;
    if (p.depth == 8) {
      ScopedSelect select(dc.get(), bitmap.get());
      RGBQUAD colours[256];
      EXPECT_EQ(GetDIBColorTable(dc.get(), 0, 256, colours), 256u) << p.id;
    }
  }
  UniqueHbitmap first(LoadSkinBitmap(106)), second(LoadSkinBitmap(106));
  EXPECT_TRUE(first && second && first.get() != second.get()) << "each load is a fresh bitmap";
}

TEST_F(ProgramResources, IconAndVersion) {
  EXPECT_NE(FindResourceW(module_.get(), MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
  HRSRC found = FindResourceW(module_.get(), MAKEINTRESOURCEW(1), RT_VERSION);
  ASSERT_NE(found, nullptr);
  const auto* block = static_cast<const BYTE*>(LockResource(LoadResource(module_.get(), found)));
  VS_FIXEDFILEINFO fixed{};
  std::memcpy(&fixed, block + 40, sizeof fixed);  // after the header and its "VS_VERSION_INFO" key
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  const ProgramVersion v = resource_table::Version();
  EXPECT_EQ(fixed.dwFileVersionMS, static_cast<DWORD>(v.major << 16 | v.minor));
  EXPECT_EQ(fixed.dwFileVersionLS, static_cast<DWORD>(v.build << 16 | v.revision));
  const ProgramVersion loaded = LoadProgramVersion();
  EXPECT_EQ(loaded.revision, v.revision);
}

}  // namespace
}  // namespace orvane

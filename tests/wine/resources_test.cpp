// The resources as built: the catalogue reads the test program's own copy
// (linked from the same script), and orvane.exe is opened as a data file and
// checked directly with the system's resource functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
#include <string_view>

#include "platform/text.h"
#include "platform/win32/unique_handle.h"
#include "resources/catalogue.h"
#include "resources/win32/picture_win32.h"
#include "support/expected_resources.h"

namespace orvane {
namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

std::wstring ProgramPath() {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"orvane.exe";
}

struct LibraryTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool IsValid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<HMODULE, LibraryTraits>;

template <typename Fn>
Fn Function(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_.reset(LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module_) << "cannot open orvane.exe, error " << GetLastError();
  }

  std::string_view Resource(LPCWSTR type, LPCWSTR name, WORD language) const {
    HRSRC found = FindResourceExW(module_.get(), type, name, language);
    if (!found) return {};
    HGLOBAL data = LoadResource(module_.get(), found);
    return {static_cast<const char*>(LockResource(data)), SizeofResource(module_.get(), found)};
  }

  UniqueModule module_;
};

// --- the catalogue, on the test program's own resources

// The Win32 loaders; the exact contents are checked on orvane.exe below.
TEST(Catalogue, LoadsStringsPicturesAndVersion) {
  for (const auto& e : expected::kStrings) EXPECT_EQ(LoadString(e.id), e.utf8) << "string " << e.id;
  for (std::uint16_t id : expected::kAbsentStrings) EXPECT_EQ(LoadString(id), "") << id;
  for (const auto& p : expected::kPictures) {
    const PictureInfo info = LoadPictureInfo(p.id);
    EXPECT_TRUE(info.width == p.width && info.height == p.height && info.depth == p.depth) << p.id;
  }
  for (std::uint16_t id : expected::kAbsentPictures) EXPECT_EQ(LoadSkinBitmap(id), nullptr) << id;
  UniqueHbitmap first(LoadSkinBitmap(106)), second(LoadSkinBitmap(106));
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get()) << "each load is a fresh bitmap";
  const ProgramVersion v = LoadProgramVersion();
  EXPECT_EQ((std::vector<int>{v.major, v.minor, v.build, v.revision}), (std::vector<int>{1, 0, 0, 9}));
}

// --- orvane.exe itself

TEST_F(ProgramResources, StringTableInChinesePrc) {
  for (const auto& e : expected::kStrings) {
    EXPECT_FALSE(Resource(RT_STRING, MAKEINTRESOURCEW(e.id / 16 + 1), kChinesePrc).empty()) << e.id;
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module_.get(), e.id, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_GT(length, 0) << e.id;
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length)), e.utf8)
        << "string " << e.id;
  }
}

TEST_F(ProgramResources, BitmapsKeepSizeAndDepth) {
  UniqueHdc dc(CreateCompatibleDC(nullptr));
  for (const auto& p : expected::kPictures) {
    EXPECT_FALSE(Resource(RT_BITMAP, MAKEINTRESOURCEW(p.id), kChinesePrc).empty()) << p.id;
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
}

TEST_F(ProgramResources, IconGroupOneHoldsOne32By32With256Colours) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  const auto group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1), kChinesePrc);
  ASSERT_EQ(group.size(), 6 + sizeof(GroupEntry)) << "one image";
  GroupEntry entry;
  std::memcpy(&entry, group.data() + 6, sizeof entry);
  EXPECT_EQ(entry.width, 32);
  EXPECT_EQ(entry.height, 32);
  EXPECT_EQ(entry.bits, 8);

  std::string copy(Resource(RT_ICON, MAKEINTRESOURCEW(entry.id), kChinesePrc));
  HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(copy.data()), static_cast<DWORD>(copy.size()), TRUE,
                                        0x00030000, 32, 32, 0);
  ASSERT_NE(icon, nullptr);
  DestroyIcon(icon);
}

TEST_F(ProgramResources, VersionBlock) {
  using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  UniqueModule version(LoadLibraryW(L"version.dll"));
  ASSERT_TRUE(version);
  auto size_of = Function<SizeFn>(version.get(), "GetFileVersionInfoSizeW");
  auto read = Function<InfoFn>(version.get(), "GetFileVersionInfoW");
  auto query = Function<QueryFn>(version.get(), "VerQueryValueW");
  ASSERT_TRUE(size_of && read && query);

  const std::wstring path = ProgramPath();
  DWORD ignored = 0;
  std::string block(size_of(path.c_str(), &ignored), '\0');
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(read(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(query(block.data(), L"\\", &value, &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000009u);

  ASSERT_TRUE(query(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0804);  // Chinese (PRC)
  EXPECT_EQ(translation[1], 1200);    // Unicode

  auto text = [&](const wchar_t* name) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!query(block.data(), key.c_str(), &value, &length) || length == 0) return std::string("<absent>");
    std::u16string_view chars(static_cast<const char16_t*>(value), length);
    return Utf16ToUtf8(chars.substr(0, chars.find(u'\0')));
  };
  EXPECT_EQ(text(L"FileVersion"), "1.00.0009");
  EXPECT_EQ(text(L"ProductName"), "Orvane");
  EXPECT_EQ(text(L"InternalName"), "Orvane");
}

TEST_F(ProgramResources, ManifestAsksForAdministratorAndCommonControls6) {
  const std::string manifest(
      Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)));
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
}

}  // namespace
}  // namespace orvane

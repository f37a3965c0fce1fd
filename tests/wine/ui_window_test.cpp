// Form windows: fonts with the glyphs, the borderless frame and what it repaints,
// and the pictures they hold.
#include "ui/win32/gdi_resources.h"
#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {


TEST_F(UiTest, ChineseFaceIsUsedOrReplacedByOneThatHasTheGlyphs) {
  FontCache fonts(96);
  Font song, missing;  // "宋体" and a face nobody has
  missing.name = "NoSuchFace Orvane";
  EXPECT_NE(fonts.FaceFor(missing), L"NoSuchFace Orvane");
  for (const Font& f : {song, missing}) {
    UniqueHdc dc(CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.get(), fonts.Get(f));
    WORD glyph = 0;
    ASSERT_NE(GetGlyphIndicesW(dc.get(), L"设", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS), GDI_ERROR);
    EXPECT_NE(glyph, 0xFFFF) << f.name;
  }
}

class PaintTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    if (IsSkipped()) return;
    form.Move({0, 0, 8895, 6195});
    form.SetPicture(106);
    title = &form.Add<Image>("ititle");
    title->Move({1500, 1500, 0, 0});
    title->SetPicture(109);  // 219 x 46 px at (100, 100)
    platform.Show(form);
    hwnd = Window(form);
    ASSERT_NE(hwnd, nullptr);
  }

  Form form{platform, "frmPaint"};
  Image* title = nullptr;
  HWND hwnd = nullptr;
};

TEST_F(PaintTest, BorderlessCentredWindowRepaintsOnlyWhatChanged) {
  RECT client{}, frame{}, work{}, dirty{};
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &frame);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(frame.right - frame.left, client.right);
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);

  // No erasing, and a new picture invalidates only its own place.
  UpdateWindow(hwnd);
  EXPECT_EQ(SendMessageW(hwnd, WM_ERASEBKGND, 0, 0), 1);
  ValidateRect(hwnd, nullptr);
  title->SetPicture(109);
  ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
  EXPECT_EQ(dirty.left, 100);
  EXPECT_EQ(dirty.bottom, 100 + 46);
}

TEST_F(PaintTest, EveryPictureChangeLoadsAfreshAndFreesTheOld) {
  Image& box = form.Add<Image>("imgchk");
  box.Move({7500, 4500, 0, 0});
  box.SetPicture(110);
  const std::size_t owned = platform.OwnedBitmapCount();
  EXPECT_EQ(owned, 3u);  // background, title, box

  // More changes than a process's GDI handle table holds.
  for (int i = 0; i < 70000; ++i) {
    box.SetPicture(i % 2 == 0 ? 108 : 110);
    if (i % 5000 == 0) {
      platform.DoEvents();
      ASSERT_EQ(platform.OwnedBitmapCount(), owned) << "after " << i << " changes";
    }
  }
  platform.DoEvents();
  EXPECT_EQ(platform.OwnedBitmapCount(), owned);

  // Pictures still load: the last one is what the window shows.
  Snapshot shot(hwnd);
  int differ = 0;
  for (int y = 0; y < 13; ++y) {
    for (int x = 0; x < 13; ++x) differ += shot.At(500 + x, 300 + y) != ResourcePixel(110, x, y) ? 1 : 0;
  }
  EXPECT_EQ(differ, 0);

  form.Remove(box);
  EXPECT_EQ(platform.OwnedBitmapCount(), owned - 1);
}

}  // namespace
}  // namespace orvane::ui::win32::testing

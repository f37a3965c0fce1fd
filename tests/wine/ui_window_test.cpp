// Form windows: size and place from twips, what they paint, and the pictures
// they hold.
#include <cmath>

#include "ui/win32/gdi_resources.h"
#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);

TEST_F(UiTest, FormWindowTakesItsSizeCaptionAndPlaceFromTheModel) {
  ScopedWindowDc screen(nullptr);
  EXPECT_FLOAT_EQ(platform.TwipsPerPixelX(), 1440.0f / static_cast<float>(GetDeviceCaps(screen.get(), LOGPIXELSX)));

  Form form(platform, "frmMain");
  form.Move({0, 0, 8895, 6195});
  form.SetCaption("系统修复");
  platform.Show(form);
  HWND hwnd = Window(form);
  ASSERT_NE(hwnd, nullptr);

  RECT client{}, frame{};
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &frame);
  EXPECT_EQ(client.right, platform.ToPixels(8895));
  EXPECT_EQ(client.bottom, platform.ToPixels(6195));
  if (platform.Dpi() == 96) {
    EXPECT_EQ(client.right, 593);
    EXPECT_EQ(client.bottom, 413);
  }
  // Borderless: the frame is the client area, and no title bar.
  EXPECT_EQ(frame.right - frame.left, client.right);
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_NE(GetWindowLongW(hwnd, GWL_STYLE) & WS_POPUP, 0);
  wchar_t title[32] = {};
  GetWindowTextW(hwnd, title, 32);
  EXPECT_STREQ(title, L"系统修复");
  EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);

  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);

  form.SetCaption("另一个");
  GetWindowTextW(hwnd, title, 32);
  EXPECT_STREQ(title, L"另一个");
}

TEST(UiDpi, TwipsFollowTheResolution) {
  ORVANE_REQUIRE_DISPLAY();
  Win32Platform at96(96), at144(144);
  EXPECT_FLOAT_EQ(at96.TwipsPerPixelX(), 15.0f);
  EXPECT_FLOAT_EQ(at144.TwipsPerPixelY(), 10.0f);
  EXPECT_EQ(at144.ToPixels(8895), 890);  // 889.5 rounds up

  Form form(at144, "big");
  form.Move({0, 0, 5895, 3855});
  at144.Show(form);
  RECT client{};
  GetClientRect(at144.WindowOf(form), &client);
  EXPECT_EQ(client.right, 590);
  EXPECT_EQ(client.bottom, 386);

  // Text keeps about the same size in twips at either resolution.
  Font song;
  song.sizePt = 10.5f;
  TextSize small = at96.MeasureText("设置IE首页为：", song);
  TextSize large = at144.MeasureText("设置IE首页为：", song);
  EXPECT_GT(small.width, 0);
  EXPECT_NEAR(large.width / small.width, 1.0, 0.15);
  EXPECT_NEAR(large.height / small.height, 1.0, 0.2);
  EXPECT_LT(at96.MeasureText("W", song).width, at96.MeasureText("WW", song).width);
  Font bigger = song;
  bigger.sizePt = 21.0f;
  EXPECT_NEAR(at96.MeasureText("设置", bigger).height / at96.MeasureText("设置", song).height, 2.0, 0.3);

  TextSize picture = at144.PictureSize(106);
  EXPECT_FLOAT_EQ(picture.width, 595 * 10.0f);
  EXPECT_FLOAT_EQ(picture.height, 413 * 10.0f);
  EXPECT_FLOAT_EQ(at96.PictureSize(9999).width, 0.0f);
}

TEST_F(UiTest, ChineseFaceIsUsedOrReplacedByOneThatExists) {
  FontCache fonts(96);
  Font song;  // "宋体"
  std::wstring face = fonts.FaceFor(song);
  Font missing;
  missing.name = "NoSuchFace Orvane";
  std::wstring replaced = fonts.FaceFor(missing);
  EXPECT_NE(replaced, L"NoSuchFace Orvane");
  // Whatever was chosen must draw Chinese glyphs, not boxes.
  for (const Font& f : {song, missing}) {
    UniqueHdc dc(CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.get(), fonts.Get(f));
    WORD glyph = 0;
    ASSERT_NE(GetGlyphIndicesW(dc.get(), L"设", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS), GDI_ERROR);
    EXPECT_NE(glyph, 0xFFFF) << "face chosen: " << (f.name == song.name ? "song" : "replacement");
  }
  (void)face;
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
    title->SetPicture(109);
    label = &form.Add<Label>("lbl");
    label->Move({300, 4500, 3000, 400});
    label->SetBackStyle(BackStyle::Opaque);
    label->SetBackColor(kWhite);
    label->SetForeColor(kBlack);
    label->SetCaption("更多免费软件");
    // A panel, and inside it a panel scrolled up past its top.
    outer = &form.Add<Panel>("pleft");
    outer->Move({6000, 1500, 900, 900});
    outer->SetBackColor(kGreen);
    inner = &outer->Add<Panel>("piclist");
    inner->Move({0, -450, 900, 900});
    inner->SetBackColor(kBlue);
    platform.Show(form);
    hwnd = Window(form);
    ASSERT_NE(hwnd, nullptr);
  }

  Form form{platform, "frmPaint"};
  Image* title = nullptr;
  Label* label = nullptr;
  Panel* outer = nullptr;
  Panel* inner = nullptr;
  HWND hwnd = nullptr;
};

TEST_F(PaintTest, BackgroundImagesPanelsAndLabelsAreDrawn) {
  Snapshot shot(hwnd);
  // Background unscaled from the corner, an image at its place.
  EXPECT_EQ(shot.At(5, 5), ResourcePixel(106, 5, 5));
  EXPECT_EQ(shot.At(590, 400), ResourcePixel(106, 590, 400));
  EXPECT_EQ(shot.At(100 + 30, 100 + 20), ResourcePixel(109, 30, 20));
  // Nested panel: its visible half is blue, the rest of the outer panel green,
  // and nothing spills above the outer panel.
  EXPECT_EQ(shot.At(410, 105), kBlue);
  EXPECT_EQ(shot.At(410, 145), kGreen);
  EXPECT_EQ(shot.At(410, 95), ResourcePixel(106, 410, 95));
  // The label: white back with dark text strokes on it.
  RECT text{20, 300, 220, 326};
  EXPECT_GT(shot.Count(text, kWhite), 100);
  EXPECT_GT(shot.CountDark(text), 40);

  // The real window (WM_PAINT through the buffer) shows the same.
  UpdateWindow(hwnd);
  WindowDc dc(hwnd);
  EXPECT_EQ(GetPixel(dc.get(), 410, 105), kBlue);
  EXPECT_EQ(GetPixel(dc.get(), 5, 5), ResourcePixel(106, 5, 5));
}

TEST_F(PaintTest, TransparentLabelShowsWhatLiesBehindAndUnderlineAddsInk) {
  label->SetBackStyle(BackStyle::Transparent);
  label->SetCaption("");
  Snapshot empty(hwnd);
  EXPECT_EQ(empty.At(25, 305), ResourcePixel(106, 25, 305));

  label->SetCaption("Kestrin");
  label->SetForeColor(0x00FF0000);
  RECT box{20, 300, 120, 330};
  int plain = Snapshot(hwnd).Count(box, RGB(0, 0, 255));
  label->SetUnderline(true);
  int underlined = Snapshot(hwnd).Count(box, RGB(0, 0, 255));
  EXPECT_GT(plain, 10);
  EXPECT_GT(underlined, plain + 10);
}

TEST_F(PaintTest, OnlyTheChangedWidgetIsRepainted) {
  UpdateWindow(hwnd);
  EXPECT_EQ(SendMessageW(hwnd, WM_ERASEBKGND, 0, 0), 1);

  ValidateRect(hwnd, nullptr);
  title->SetPicture(109);
  RECT dirty{};
  ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
  EXPECT_EQ(dirty.left, 100);
  EXPECT_EQ(dirty.top, 100);
  EXPECT_EQ(dirty.right, 100 + 219);
  EXPECT_EQ(dirty.bottom, 100 + 46);

  // A move repaints where it was and where it is.
  ValidateRect(hwnd, nullptr);
  title->Move({title->Left() + 120, title->Top() + 120, title->Width(), title->Height()});
  ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
  EXPECT_EQ(dirty.left, 100);
  EXPECT_EQ(dirty.right, 100 + 8 + 219);
  Snapshot shot(hwnd);
  EXPECT_EQ(shot.At(108 + 30, 108 + 20), ResourcePixel(109, 30, 20));
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
  EXPECT_FLOAT_EQ(box.Width(), 13 * platform.TwipsPerPixelX());

  // Pictures still load, and the last one is what the window shows.
  UniqueHbitmap fresh(LoadSkinBitmap(108));
  BITMAP info{};
  ASSERT_EQ(GetObjectW(fresh.get(), sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 13);
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

namespace orvane::ui::win32::testing {
namespace {

// A form with every kind of widget. ORVANE_UI_HOLD_MS keeps it on screen
// that long, for a look at it from outside.
TEST_F(UiTest, FormWithEveryKindOfWidget) {
  Form form(platform, "frmShowcase");
  form.Move({0, 0, 8895, 6195});
  form.SetCaption("系统修复");
  form.SetPicture(106);
  Image& title = form.Add<Image>("ititle");
  title.SetPicture(109);
  title.onMouseMove = [&](const MouseEvent& e) {
    if (e.buttons == kLeftButton) platform.DragWindow(form);
  };
  Image& close = form.Add<Image>("iclose");
  close.Move({8505, 105, 0, 0});
  close.SetPicture(104);
  close.SetToolTip("关闭");
  Image& bar = form.Add<Image>("itoptt");
  bar.Move({150, 780, 0, 0});
  bar.SetPicture(111);
  Panel& frame = form.Add<Panel>("pleft");
  frame.Move({150, 1170, 6190, 3000});
  frame.SetBackColor(kWhite);
  ListBox& list = form.Add<ListBox>("lstmenu");
  list.Move({150 + 6190 + 300, 1170, 1900, 1400});
  Font song;
  song.sizePt = 10.5f;
  list.SetFont(song);
  for (const char* line : {"添加到百度", "导出到 Excel", "翻译"}) list.AddItem(line);
  list.SetSelected(1, true);
  TextBox& about = form.Add<TextBox>("txtContent");
  about.Move({150 + 6190 + 300, 2700, 1900, 1470});
  about.SetMultiLine(true);
  about.SetLocked(true);
  about.SetVerticalScrollBar(true);
  about.SetText("\r\n本软件免费。\r\n\r\n\r\n修复浏览器与系统设置。\r\n\r\n\r\nhttp://example.org");
  for (int i = 0; i < 13; ++i) {
    Label& row = frame.Add<Label>("lbldoinfo", i);
    row.Move({200, 60 + 300.0f * i, 0, 0});
    row.SetBackStyle(BackStyle::Transparent);
    row.SetForeColor(i % 2 == 0 ? kBlack : 0x0000A000);
    row.SetAutoSize(true);
    std::string caption = "修复项目 ";
    caption += std::to_string(i + 1);
    row.SetCaption(caption);
  }
  ScrollBar& scroll = form.Add<ScrollBar>("vsroll");
  scroll.Move({150 + 6190, 1170, 255, 3000});
  scroll.SetMax(10);
  Image& tools = form.Add<Image>("ibottomtt");
  tools.Move({150, 4300, 0, 0});
  tools.SetPicture(107);
  Image& go = form.Add<Image>("ibtndo");
  go.Move({7400, 4350, 0, 0});
  go.SetPicture(101);
  Image& bottom = form.Add<Image>("ibottom");
  bottom.Move({0, 5790, 0, 0});
  bottom.SetPicture(105);
  Label& version = form.Add<Label>("lblversion");
  version.Move({120, 5840, 0, 0});
  version.SetBackStyle(BackStyle::Transparent);
  version.SetForeColor(kWhite);
  Font calibri;
  calibri.name = "Calibri";
  calibri.sizePt = 12;
  calibri.italic = true;
  calibri.charset = 0;
  version.SetFont(calibri);
  version.SetAutoSize(true);
  version.SetCaption("V1.0.0.9");
  Label& link = form.Add<Label>("Label2");
  link.Move({7440, 5880, 1335, 255});
  link.SetBackStyle(BackStyle::Transparent);
  link.SetForeColor(0x00FF0000);
  link.SetFont(song);
  link.SetCaption("Kestrin");
  link.SetUnderline(true);
  platform.Show(form);
  HWND hwnd = Window(form);
  ASSERT_NE(hwnd, nullptr);
  FormWindow& peer = *platform.PeerOf(form);
  for (const Widget* w : std::initializer_list<const Widget*>{&list, &about, &scroll}) {
    EXPECT_NE(peer.NativeOf(*w), nullptr) << w->Name();
  }
  // Auto-sized labels took their text's size.
  EXPECT_GT(version.Width(), 0);
  EXPECT_NEAR(version.Height(), platform.MeasureText("V1.0.0.9", calibri).height, 0.01);

  wchar_t hold[16] = {};
  if (GetEnvironmentVariableW(L"ORVANE_UI_HOLD_MS", hold, 16) > 0) {
    DWORD end = GetTickCount() + static_cast<DWORD>(_wtoi(hold));
    while (GetTickCount() < end) {
      platform.DoEvents();
      Sleep(20);
    }
  }
}

}  // namespace
}  // namespace orvane::ui::win32::testing

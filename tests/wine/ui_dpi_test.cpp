// Windows at other display resolutions: the 96-dpi window made larger, with
// pictures smoothed to their scaled size, input in step with what is drawn,
// and a move to a monitor of another resolution followed.
#include <cstdlib>
#include <vector>

#include "ui/win32/picture_scale.h"
#include "ui_fixture.h"

namespace orvane::ui::win32::testing {
namespace {

TEST(PictureScale, ResizeBilinearBlendsNeighboursAndKeepsEdges) {
  struct Case {
    std::vector<std::uint32_t> in;
    int width, height, newWidth, newHeight;
    std::vector<std::uint32_t> out;
  };
  const std::vector<Case> cases = {
      {{0x123456}, 1, 1, 3, 2, std::vector<std::uint32_t>(6, 0x123456)},
      {{0x000000, 0xFFFFFF}, 2, 1, 4, 1, {0x000000, 0x404040, 0xBFBFBF, 0xFFFFFF}},
      {{0x0000FF, 0x00FF00}, 1, 2, 1, 4, {0x0000FF, 0x0040BF, 0x00BF40, 0x00FF00}},
      {{1, 2, 3, 4}, 2, 2, 2, 2, {1, 2, 3, 4}},
      {{0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF}, 4, 1, 2, 1, {0x808080, 0x808080}},
      {{1, 2}, 2, 2, 4, 4, {}},  // fewer pixels than the size says
      {{1}, 1, 1, 0, 3, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResizeBilinear(c.in, c.width, c.height, c.newWidth, c.newHeight), c.out)
        << c.width << "x" << c.height << " to " << c.newWidth << "x" << c.newHeight;
  }
}

// The manifest (this test program carries the same one) makes the process
// per-monitor aware: version 2 on Windows; Wine 8 knows no version 2 and
// takes the manifest's list as per-monitor.
TEST(UiScaled, ProcessIsPerMonitorAware) {
  using Context = HANDLE;
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto current = reinterpret_cast<Context(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
  auto awareness = reinterpret_cast<int(WINAPI*)(Context)>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_TRUE(current != nullptr && awareness != nullptr);
  EXPECT_EQ(awareness(current()), 2);  // DPI_AWARENESS_PER_MONITOR_AWARE
}

int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// A small form like the main window's top: background, title picture and a
// text box.
class ScaledForm {
 public:
  explicit ScaledForm(Win32Platform& platform) : form(platform, "frmScaled") {
    form.Move({0, 0, 8895, 6195});
    form.SetPicture(106);
    title = &form.Add<Image>("ititle");
    title->Move({1500, 1500, 0, 0});
    title->SetPicture(109);  // 219 x 46 at 96 dpi
    box = &form.Add<TextBox>("txtContent");
    box->Move({6315, 1185, 2520, 4140});
    box->SetText("关于");
    title->onMouseDown = [this](const MouseEvent& e) { pressedAt = {e.x, e.y}; };
  }
  Form form;
  Image* title = nullptr;
  TextBox* box = nullptr;
  TextSize pressedAt{-1, -1};
};

// Mean colour distance, over a rectangle of the window (every third pixel),
// between the window and a picture drawn from `origin`, sampled at the
// nearest 96-dpi pixel.
double MeanDistance(const Snapshot& shot, std::uint16_t picture, RECT rect, POINT origin, int dpi) {
  UniqueHbitmap bitmap(LoadSkinBitmap(picture));
  UniqueHdc dc(::CreateCompatibleDC(nullptr));
  ScopedSelect select(dc.get(), bitmap.get());
  double sum = 0;
  int n = 0;
  for (int y = rect.top; y < rect.bottom; y += 3) {
    for (int x = rect.left; x < rect.right; x += 3) {
      int sx = (x - origin.x) * 96 / dpi, sy = (y - origin.y) * 96 / dpi;
      sum += Distance(shot.At(x, y), GetPixel(dc.get(), sx, sy));
      ++n;
    }
  }
  return n > 0 ? sum / n : 1e9;
}

// Opened at 96 dpi and moved to a monitor of another resolution (windows
// opened there are checked end to end): the 96-dpi window made larger.
TEST(UiScaled, MoveToAMonitorOfAnotherResolutionRedrawsEverythingAtIt) {
  ORVANE_REQUIRE_DISPLAY();
  for (int dpi : {120, 144, 192}) {
    SCOPED_TRACE(dpi);
    Win32Platform platform(96);
    ScaledForm scaled(platform);
    platform.Show(scaled.form);
    HWND hwnd = platform.WindowOf(scaled.form);
    ASSERT_NE(hwnd, nullptr);
    FormWindow& window = *platform.PeerOf(scaled.form);

    const SIZE size{MulDiv(8895, dpi, 1440), MulDiv(6195, dpi, 1440)};
    SIZE asked{};
    ASSERT_TRUE(SendMessageW(hwnd, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi, reinterpret_cast<LPARAM>(&asked)));
    EXPECT_EQ(asked.cx, size.cx);
    EXPECT_EQ(asked.cy, size.cy);
    RECT suggested{40, 30, 40 + size.cx, 30 + size.cy};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.Dpi(), dpi);
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.right - frame.left, size.cx);
    EXPECT_EQ(frame.bottom - frame.top, size.cy);

    // Background and picture fill their scaled rectangles; the smoothing
    // differs from the nearest pixel only a little on average.
    Snapshot shot(hwnd);
    RECT title = window.PixelRect(*scaled.title);
    EXPECT_EQ(title.left, MulDiv(100, dpi, 96));
    EXPECT_EQ(title.right - title.left, MulDiv(219, dpi, 96));
    EXPECT_LT(MeanDistance(shot, 109, title, {title.left, title.top}, dpi), 40);
    EXPECT_LT(MeanDistance(shot, 106, {0, 0, size.cx, title.top}, {0, 0}, dpi), 40);
    EXPECT_LT(MeanDistance(shot, 106, {0, size.cy - MulDiv(30, dpi, 96), size.cx, size.cy}, {0, 0}, dpi), 40);

    // The native control grows too.
    HWND native = window.NativeOf(*scaled.box);
    RECT edit{};
    GetWindowRect(native, &edit);
    EXPECT_EQ(edit.left - frame.left, MulDiv(6315, dpi, 1440));
    EXPECT_EQ(edit.right - edit.left, MulDiv(168, dpi, 96));

    // A press on the picture's last pixel column reaches it, in twips.
    int x = title.right - 1, y = title.top + 2;
    Press(hwnd, x, y);
    Release(hwnd, x, y);
    EXPECT_NEAR(scaled.pressedAt.width, (x - title.left) * 1440.0 / dpi, 0.01);
    EXPECT_NEAR(scaled.pressedAt.height, 2 * 1440.0 / dpi, 0.01);
  }
}

}  // namespace
}  // namespace orvane::ui::win32::testing

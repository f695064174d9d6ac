// The desktop effect as a user sees it: shown over a recognisable desktop by a small host
// (tessaro_effect_host.exe, built beside this program) with a chosen preset, stopped by real X
// input, and the screen compared pixel for pixel with the desktop before and after.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

using namespace e2e;

// Every pixel of the test desktop has a colour of its own, and none is black, so a pixel on the
// screen tells where on the desktop it came from, and the window's own black shows as foreign.
// Red and green carry the low bits of x and y, blue 0x40 plus their high bits.
std::uint32_t PatternAt(int x, int y) {
    return (static_cast<std::uint32_t>(x & 0xFF) << 16) |
           (static_cast<std::uint32_t>(y & 0xFF) << 8) | 0x40 |
           (static_cast<std::uint32_t>(x >> 8) << 3) | static_cast<std::uint32_t>(y >> 8);
}

std::optional<POINT> OriginOf(std::uint32_t rgb, int width, int height) {
    const std::uint32_t blue = rgb & 0xFF;
    if ((blue & 0xC0) != 0x40) return std::nullopt;
    const POINT p{static_cast<LONG>((((blue >> 3) & 7) << 8) | (rgb >> 16)),
                  static_cast<LONG>(((blue & 7) << 8) | ((rgb >> 8) & 0xFF))};
    if (p.x >= width || p.y >= height) return std::nullopt;
    return p;
}

// How far the pixels of a screenshot are from where the pattern has them.
struct Displacements {
    size_t foreign = 0;  // not a colour of the desktop at all
    size_t moved = 0;
    int largest = 0;                            // of |dx| and |dy| over all pixels
    bool onlyUpAndLeftAlongTheDiagonal = true;  // every pixel came from (x + k, y + k), k >= 0
};

Displacements Measure(const Screenshot& shot) {
    Displacements d;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const auto origin = OriginOf(shot.At(x, y), shot.width, shot.height);
            if (!origin) {
                ++d.foreign;
                continue;
            }
            const int dx = origin->x - x;
            const int dy = origin->y - y;
            if (dx == 0 && dy == 0) continue;
            ++d.moved;
            d.largest = std::max({d.largest, std::abs(dx), std::abs(dy)});
            if (dx != dy || dx < 0) d.onlyUpAndLeftAlongTheDiagonal = false;
        }
    }
    return d;
}

// The moves add up: a pixel copied k times has moved by a sum of k offsets of -1, 0 or 1, 0
// twice as often as the others, so by 0 +- sqrt(k / 2) on each axis. A block covers a given
// pixel for at most 128 x 128 of the 897 x 641 corners a pass picks from on a 1024 x 768
// screen (the end values half as often), so after n passes the pixel copied most often has
// not seen many more than k = n x 0.0285. Six standard deviations beyond both leaves
// nothing to chance, while offsets that lean one way (a bias lost, a range too wide) drift by
// about k and go past it.
int LargestPresetZeroMove(std::uint64_t passes) {
    const double perPixel = static_cast<double>(passes) * (128.0 * 128.0) / (897.0 * 641.0);
    const double most = perPixel + 6.0 * std::sqrt(perPixel) + 1.0;
    return static_cast<int>(std::ceil(6.0 * std::sqrt(most / 2.0))) + 1;
}

// A full-screen window of this test program standing for the user's desktop.
class PatternDesktop {
  public:
    PatternDesktop() {
        width_ = GetSystemMetrics(SM_CXSCREEN);
        height_ = GetSystemMetrics(SM_CYSCREEN);
        expected_.width = width_;
        expected_.height = height_;
        expected_.pixels.resize(static_cast<size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                expected_.pixels[static_cast<size_t>(y) * width_ + x] = PatternAt(x, y);
            }
        }
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &PatternDesktop::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TessaroTestDesktop";
            return RegisterClassW(&wc);
        }();
        // Like the real desktop it never takes the activation (or the top) from the effect.
        hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MAKEINTATOM(atom), L"desktop",
                                WS_POPUP | WS_DISABLED, 0, 0, width_, height_, nullptr, nullptr,
                                GetModuleHandleW(nullptr), this);
        if (hwnd_) {
            SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
    }
    PatternDesktop(const PatternDesktop&) = delete;
    PatternDesktop& operator=(const PatternDesktop&) = delete;
    ~PatternDesktop() {
        if (hwnd_) DestroyWindow(hwnd_);
    }

    HWND Hwnd() const { return hwnd_; }
    const Screenshot& Expected() const { return expected_; }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<PatternDesktop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_ERASEBKGND) return 1;
        if (self && msg == WM_PAINT) {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                              self->width_,
                              -self->height_,
                              1,
                              32,
                              BI_RGB,
                              0,
                              0,
                              0,
                              0,
                              0};
            SetDIBitsToDevice(dc, 0, 0, self->width_, self->height_, 0, 0, 0, self->height_,
                              self->expected_.pixels.data(), &info, DIB_RGB_COLORS);
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    int width_ = 0;
    int height_ = 0;
    Screenshot expected_;
    HWND hwnd_ = nullptr;
};

std::wstring HostExe() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring self(path, n);
    return self.substr(0, self.find_last_of(L"\\/") + 1) + L"tessaro_effect_host.exe";
}

class Effect : public testing::Test {
  protected:
    void SetUp() override {
        desktop_ = std::make_unique<PatternDesktop>();
        ASSERT_NE(nullptr, desktop_->Hwnd());
        ASSERT_TRUE(WaitUntil([&] {
            before_ = CaptureScreen();
            return CountDifferences(before_, desktop_->Expected()) == 0;
        })) << "the test desktop never showed";
    }

    void TearDown() override {
        host_.reset();  // ends a host that is still running
        desktop_.reset();
    }

    // Starts the host and waits until its window is up and blocks have moved on the screen.
    void Start(const std::wstring& arguments, Where where = Where::current()) {
        testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "Start");
        host_ = std::make_unique<Program>(HostExe(), L"", arguments);
        ASSERT_TRUE(host_->Started()) << "cannot start the host: error " << host_->Error();
        effect_ = WaitForWindow(host_->Pid(), WindowQuery{L"", L"TessaroWindow"});
        ASSERT_NE(nullptr, effect_) << "no effect window";
        ASSERT_TRUE(WaitUntil([&] { return CountDifferences(CaptureScreen(), before_) > 0; }))
            << "the screen never changed";
    }

    std::uint64_t Passes() const {
        return reinterpret_cast<std::uintptr_t>(GetPropW(effect_, L"TessaroEffectPasses"));
    }

    void ExpectEndedAndDesktopBack(Where where = Where::current()) {
        testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()),
                                   "ExpectEndedAndDesktopBack");
        EXPECT_TRUE(WaitForWindowGone(effect_)) << "the effect window is still there";
        ASSERT_TRUE(host_->WaitForExit()) << "the host is still running";
        EXPECT_EQ(0u, host_->ExitCode().value_or(~0u)) << "3: the global reference survived";
        size_t left = 0;
        EXPECT_TRUE(WaitUntil([&] {
            left = CountDifferences(CaptureScreen(), before_);
            return left == 0;
        })) << left
            << " pixels differ from the desktop as it was";
    }

    void ExpectStillRunning(Where where = Where::current()) {
        testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()),
                                   "ExpectStillRunning");
        // Input is read after every block; half a second is thousands of blocks.
        EXPECT_FALSE(WaitUntil([&] { return !host_->IsRunning() || !IsWindow(effect_); }, 500))
            << "the effect ended";
        const Screenshot now = CaptureScreen();
        EXPECT_TRUE(WaitUntil([&] { return CountDifferences(CaptureScreen(), now) > 0; }))
            << "the blocks no longer move";
    }

    std::unique_ptr<PatternDesktop> desktop_;
    Screenshot before_;
    std::unique_ptr<Program> host_;
    HWND effect_ = nullptr;
};

// Runs at 144 DPI too (tessaro_e2e_tests_dpi144), where a twip is no longer a fifteenth of a
// pixel.
TEST_F(Effect, CoversTheScreenWithoutAFrameAtAnyDpi) {
    Start(L"0");
    EXPECT_EQ((RECT{0, 0, before_.width, before_.height}), WindowRectOnScreen(effect_));
    EXPECT_EQ(WS_POPUP, Style(effect_) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(L"", Text(effect_));
    // Owned windows get no taskbar button, unless they ask for one.
    EXPECT_NE(nullptr, GetWindow(effect_, GW_OWNER));
    EXPECT_EQ(0, GetWindowLongPtrW(effect_, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    // All of the screen shows the captured desktop: no black edge of a window too small.
    EXPECT_EQ(0u, Measure(CaptureScreen()).foreign);
    XKey(effect_, "Escape");
    ExpectEndedAndDesktopBack();
}

TEST_F(Effect, ShiversTheDesktopByAPixelOrTwo) {
    Start(L"0");
    // Preset 0 moves each block by -1, 0 or 1 on each axis. Nothing but desktop pixels may show:
    // black would mean the window captured itself, or shows its own background.
    const Screenshot shot = CaptureScreen();
    Sleep(30);  // the count the host publishes is then at least the one of the screenshot
    const std::uint64_t passes = Passes();
    const Displacements d = Measure(shot);
    EXPECT_EQ(0u, d.foreign);
    EXPECT_GT(d.moved, 0u);
    EXPECT_LE(d.largest, LargestPresetZeroMove(passes)) << passes << " passes";
    std::printf("[ preset 0 ] after %llu passes: %zu pixels moved, the largest by %d\n",
                static_cast<unsigned long long>(passes), d.moved, d.largest);

    XClickWindow(effect_, 300, 200);
    ExpectEndedAndDesktopBack();
}

TEST_F(Effect, PresetThreeCreepsUpAndLeftOnly) {
    Start(L"3");
    const Displacements d = Measure(CaptureScreen());
    EXPECT_EQ(0u, d.foreign);
    EXPECT_GT(d.moved, 0u);
    EXPECT_TRUE(d.onlyUpAndLeftAlongTheDiagonal);
    XKey(effect_, "x");
    ExpectEndedAndDesktopBack();
}

TEST_F(Effect, ACharacterKeyEndsIt) {
    Start(L"0");
    XKey(effect_, "a");
    ExpectEndedAndDesktopBack();
}

TEST_F(Effect, KeysWithoutACharacterDoNotEndIt) {
    Start(L"0");
    XKey(effect_, "shift");
    XKey(effect_, "Left");
    XKey(effect_, "F5");
    XKey(effect_, "ctrl");
    XKey(effect_, "alt");
    ExpectStillRunning();
    // The same window takes a character: so the keys above did reach it.
    XKey(effect_, "space");
    ExpectEndedAndDesktopBack();
}

TEST_F(Effect, AnyMouseButtonEndsIt) {
    for (const int button : {2, 3}) {
        SCOPED_TRACE("button " + std::to_string(button));
        Start(L"0");
        POINT p{500, 400};
        ClientToScreen(effect_, &p);
        XClick(p.x, p.y, button);
        ExpectEndedAndDesktopBack();
    }
}

TEST_F(Effect, AReleaseWithoutAPressOnTheWindowIsNoClick) {
    // Windows sends the release of the press that opened the effect (a label reacts on the
    // press) to the window now under the pointer: this one.
    Start(L"0");
    PostMessageW(effect_, WM_LBUTTONUP, 0, MAKELPARAM(500, 400));
    ExpectStillRunning();
    XClickWindow(effect_, 500, 400);
    ExpectEndedAndDesktopBack();
}

TEST_F(Effect, AltF4EndsItLikeAClick) {
    Start(L"0");
    XKey(effect_, "alt+F4");
    ExpectEndedAndDesktopBack();
}

TEST_F(Effect, ARepaintBringsBackTheCapturedScreenInTheRepaintedArea) {
    // The host checks from inside the loop, where the picture stands still (see its source).
    Start(L"0 --check-repaint");
    ASSERT_TRUE(host_->WaitForExit());
    EXPECT_EQ(0u, host_->ExitCode().value_or(~0u)) << "4: the repaint check failed";
}

}  // namespace

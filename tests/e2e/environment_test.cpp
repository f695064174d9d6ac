// Checks that this run is set up the way the other end-to-end tests assume: the prefix has the
// DPI the run asked for, and real X input (xdotool) reaches Windows programs. When these fail
// the program is not to blame, and every other failure of the run is suspect.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/harness.h"

namespace {

using namespace e2e;

TEST(Environment, SystemReportsTheScaleThisRunWasPreparedWith) {
    EXPECT_EQ(ExpectedDpi(), SystemDpi());
}

// A window of this test process with a button and an edit box; the waits pump its messages.
class ProbeWindow {
  public:
    ProbeWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &ProbeWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"TessaroE2eProbe";
        RegisterClassW(&wc);  // a second registration fails harmlessly
        frame_ = CreateWindowExW(0, wc.lpszClassName, L"Probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 100, 100, 300, 200, nullptr, nullptr, wc.hInstance, this);
        button_ =
            CreateWindowExW(0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                            100, 30, frame_, reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);
        edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 60, 250,
                                24, frame_, reinterpret_cast<HMENU>(2), wc.hInstance, nullptr);
        SetWindowLongPtrW(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ProbeWindow() { DestroyWindow(frame_); }

    HWND frame_ = nullptr;
    HWND button_ = nullptr;
    HWND edit_ = nullptr;
    int clicks_ = 0;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_COMMAND && LOWORD(wp) == 1 && HIWORD(wp) == BN_CLICKED) {
            ++self->clicks_;
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
};

TEST(Environment, RealClicksAndKeysReachTheWindow) {
    ProbeWindow probe;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(probe.frame_) != FALSE; }));

    XClickCentre(probe.button_);
    EXPECT_TRUE(WaitUntil([&] { return probe.clicks_ == 1; }, 3000)) << "clicks " << probe.clicks_;
    EXPECT_EQ(probe.button_, FocusOf(GetCurrentProcessId()));

    XKey(probe.button_, "space");
    EXPECT_TRUE(WaitUntil([&] { return probe.clicks_ == 2; }, 3000)) << "clicks " << probe.clicks_;

    // Quotes and backslashes survive both the Windows command line and the shell.
    XClickCentre(probe.edit_);
    const std::string text = "a'b\"c\\d \\\"e $HOME `x`";
    XType(probe.edit_, text);
    EXPECT_TRUE(WaitUntil(
        [&] { return Text(probe.edit_) == std::wstring(text.begin(), text.end()); }, 3000))
        << "edit holds " << testing::PrintToString(Text(probe.edit_));
}

}  // namespace

// The main window as a user meets it: what it shows at start, OK and Info by mouse and by access
// key, closing it, and what the registry holds afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "e2e/harness.h"

namespace {

const std::wstring kPolicyKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kPolicyValue = L"NoDriveTypeAutoRun";
const std::wstring kSuccess =
    L"Update successful. Changes will take effect after the next computer boot.";

void SetPolicy(std::optional<DWORD> value) {
    win32::ScopedHkey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, key.Receive(), nullptr));
    if (value) {
        RegSetValueExW(key.Get(), kPolicyValue.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&*value), sizeof(DWORD));
    } else {
        RegDeleteValueW(key.Get(), kPolicyValue.c_str());
    }
}

std::optional<e2e::RawValue> Policy() {
    return e2e::ReadValue(HKEY_LOCAL_MACHINE, kPolicyKey, kPolicyValue);
}

// Pixels of a twips length at the DPI of this run.
int Px(int twips) { return MulDiv(twips, e2e::ExpectedDpi(), 1440); }

class MainWindow : public testing::Test {
  protected:
    std::unique_ptr<e2e::Program> program;
    HWND main = nullptr;

    void SetUp() override {
        SetPolicy(std::nullopt);
        program = std::make_unique<e2e::Program>(e2e::TessaroExe());
        ASSERT_TRUE(program->Started()) << program->Error();
        main = e2e::WaitForWindow(program->Pid(), e2e::WindowQuery{L"Tessaro", L""});
        ASSERT_NE(nullptr, main);
        // The window is ready for input once OK has the focus.
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FocusOf(program->Pid()) == Button(L"&Ok"); }));
    }
    HWND Button(const std::wstring& text) const { return e2e::FindChild(main, L"Button", text); }
    HWND Option1() const {
        return e2e::FindChild(main, L"Button",
                              L"Disable Autorun on all drives type (CD-ROM, DVD, USB Pendrive, "
                              L"network drive, RAM drive)");
    }
    HWND Option2() const { return e2e::FindChild(main, L"Button", L"Restore default"); }
    void ExpectLayout() const;

    // The success box, dismissed with the keyboard; then the process must end.
    void ExpectSuccessBoxThenExit() {
        const auto box = e2e::WaitForMessageBox(program->Pid());
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(L"Tessaro", box->title);
        EXPECT_EQ(kSuccess, box->text);
        EXPECT_TRUE(box->hasInfoIcon);
        EXPECT_EQ(std::vector<std::wstring>{L"OK"}, box->buttons);
        EXPECT_TRUE(program->IsRunning()) << "the process must wait for the user";
        e2e::XKey(box->hwnd, "Return");
        EXPECT_TRUE(program->WaitForExit());
    }
};

// Client size and every control's rectangle, in pixels of the DPI this run was prepared with.
void MainWindow::ExpectLayout() const {
    const RECT client = e2e::ClientRectOnScreen(main);
    EXPECT_EQ(Px(5220), client.right - client.left);
    EXPECT_EQ(Px(2400), client.bottom - client.top);
    struct Expected {
        HWND hwnd;
        int left, top, width, height;
    };
    const Expected layout[] = {
        {Button(L"&Info..."), 4080, 1920, 1035, 375},
        {Option2(), 360, 1440, 3255, 315},
        {Option1(), 360, 360, 4455, 375},
        {Button(L"&Ok"), 2940, 1920, 1035, 375},
        {e2e::FindChild(main, L"Static", L"(Recommended)"), 600, 840, 2175, 195},
    };
    for (const auto& e : layout) {
        ASSERT_NE(nullptr, e.hwnd);
        const RECT r = e2e::ChildRectInParentClient(e.hwnd);
        SCOPED_TRACE(testing::Message() << "control at " << e.left << "," << e.top << " twips");
        EXPECT_EQ(Px(e.left), r.left);
        EXPECT_EQ(Px(e.top), r.top);
        EXPECT_EQ(Px(e.width), r.right - r.left);
        EXPECT_EQ(Px(e.height), r.bottom - r.top);
    }
}

TEST_F(MainWindow, StartsWithTheRecommendedChoiceAndTheFocusOnOk) {
    EXPECT_EQ(L"Tessaro", e2e::Text(main));
    ExpectLayout();
    EXPECT_EQ(348, Px(5220)) << "this run is meant for 96 dpi";

    // Fixed dialog frame with a close box only, and no taskbar button (owned, not an app window).
    const LONG_PTR style = e2e::Style(main);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_FALSE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_NE(nullptr, GetWindow(main, GW_OWNER));

    EXPECT_TRUE(e2e::IsChecked(Option1()));
    EXPECT_FALSE(e2e::IsChecked(Option2()));
    EXPECT_EQ(Button(L"&Ok"), e2e::FocusOf(program->Pid()));
}

TEST_F(MainWindow, LayoutFollowsTheScreenDpi) {
    ASSERT_EQ(e2e::ExpectedDpi(), e2e::SystemDpi());
    ExpectLayout();
    if (e2e::ExpectedDpi() == 144) {
        EXPECT_EQ(522, Px(5220));  // 1.5 times the 348 pixels of 96 dpi
        EXPECT_EQ(240, Px(2400));
    }
    // The text must be drawn at the same scale: a font left at 96 dpi would fill too little of
    // the label. "(Recommended)" in bold spans well over 45% of the label's width when scaled.
    HWND label = e2e::FindChild(main, L"Static", L"(Recommended)");
    RECT r;
    GetWindowRect(label, &r);
    const e2e::Screenshot shot = e2e::CaptureRect(r);
    int left = shot.width, right = -1;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t p = shot.At(x, y);
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 300) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_GE(right, left) << "no text drawn";
    EXPECT_GT(right - left + 1, Px(2175) * 45 / 100);
}

TEST_F(MainWindow, OkDisablesAutoRunAndChangesNothingElse) {
    const auto before = e2e::SnapshotRegistry();
    e2e::XClickCentre(Button(L"&Ok"));
    ExpectSuccessBoxThenExit();
    EXPECT_EQ(e2e::Dword(255), Policy());
    EXPECT_EQ(std::vector<std::wstring>{L"HKLM\\" + kPolicyKey + L"|" + kPolicyValue},
              e2e::Differences(before, e2e::SnapshotRegistry()));
}

TEST_F(MainWindow, AltODisablesAutoRun) {
    SetPolicy(0x91);
    e2e::XKey(main, "alt+o");
    ExpectSuccessBoxThenExit();
    EXPECT_EQ(e2e::Dword(255), Policy());
}

TEST_F(MainWindow, RestoreDefaultRemovesTheValue) {
    SetPolicy(255);
    e2e::XClickCentre(Option2());
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::IsChecked(Option2()); }));
    EXPECT_FALSE(e2e::IsChecked(Option1()));
    e2e::XKey(main, "alt+o");
    ExpectSuccessBoxThenExit();
    EXPECT_EQ(std::nullopt, Policy());
}

TEST_F(MainWindow, InfoIsModalAndTheMainWindowComesBack) {
    e2e::XKey(main, "alt+i");
    HWND about = e2e::WaitForWindow(program->Pid(), [&](HWND w) { return w != main; });
    ASSERT_NE(nullptr, about);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(main); }))
        << "the main window must take no input while the information window is open";
    e2e::XKey(about, "alt+F4");
    EXPECT_TRUE(e2e::WaitForWindowGone(about));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main); }));
    EXPECT_TRUE(program->IsRunning());

    // Info works again after the window went, and so does the mouse.
    e2e::XClickCentre(Button(L"&Info..."));
    about = e2e::WaitForWindow(program->Pid(), [&](HWND w) { return w != main; });
    EXPECT_NE(nullptr, about);
}

TEST_F(MainWindow, ClosingTheWindowEndsTheProgramWithoutTouchingTheRegistry) {
    SetPolicy(0x91);
    const auto before = e2e::SnapshotRegistry();
    e2e::XKey(main, "alt+F4");
    EXPECT_TRUE(program->WaitForExit());
    EXPECT_TRUE(e2e::Differences(before, e2e::SnapshotRegistry()).empty());
    EXPECT_EQ(e2e::Dword(0x91), Policy());
}

TEST_F(MainWindow, EnterAndEscapeHaveNoWindowWideMeaning) {
    e2e::XClickCentre(Option2());  // the focus leaves OK
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::IsChecked(Option2()); }));
    e2e::XKey(main, "Return Escape");
    // Nothing may happen: no box, no exit, no registry change.
    EXPECT_FALSE(e2e::WaitForMessageBox(program->Pid(), 1500).has_value());
    EXPECT_TRUE(program->IsRunning());
    EXPECT_EQ(std::nullopt, Policy());
}

}  // namespace

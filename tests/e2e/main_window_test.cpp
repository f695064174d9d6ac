// The main window as a user meets it: how it and the About box look at the screen's DPI, the two
// choices by mouse and by keyboard, closing it, and what the registry holds afterwards.
#include "e2e/driver.h"

namespace {

using namespace e2e;

const std::wstring kOption1 =
    L"Disable Autorun on all drives type (CD-ROM, DVD, USB Pendrive, network drive, RAM drive)";
RECT Twips(int l, int t, int w, int h) { return {Px(l), Px(t), Px(l) + Px(w), Px(t) + Px(h)}; }
bool Checked(HWND button) { return Send(button, BM_GETCHECK) == BST_CHECKED; }
// A fixed frame with a close box only; owned, so without a taskbar button.
bool FixedFrame(HWND w) {
    return (Style(w) & WS_SYSMENU) && GetWindow(w, GW_OWNER) &&
           !(Style(w) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) &&
           !(Style(w, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

class MainWindow : public Session {
  protected:
    void ExpectAboutLayout() {
        EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits for the About box";
        EXPECT_EQ(Twips(2340, 1650, 6135, 3180), Rect(about, true));
        EXPECT_TRUE(FixedFrame(about) && Text(about).empty() && Children(about).size() == 12);
        // In twips; w 0: the size of its text (underlined if h is 1) in Tahoma 8.25 pt; w below 0:
        // a picture at its own size with its frame, -w x h pixels at any DPI.
        // clang-format off
        const struct { int i, l, t, w, h; std::wstring text; } places[] = {
            {kClip, 120, 840, 540, 570, L""}, {kFrame, 60, 780, 675, 675, L""},
            {kFree, 960, 600, 4095, 255, L"This program is freeware. Check for updates on:"},
            {kVersion, 960, 120, 4995, 195, L"Tessaro"}, {kSpot, 180, 2280, 195, 195, L""},
            {kHome, 960, 900, 0, 1, L"http://tessaro.example.org/index.html"},
            {kEnglish, 960, 360, 0, 0, L"English version"}, {kQuorrel, 5280, 2880, 0, 1, L"Quorrel"},
            {kLicence, 60, 2880, 0, 1, L"General public license"},
            {kCopyright, 960, 1860, 5115, 435, L"Copyright (C) 2026 the Tessaro developers. Free "
                                               L"software, GNU General Public License v3."},
            {kLogo, 60, 120, -34, 34, L""}, {kPicture, 60, 1860, -50, 62, L""}};
        // clang-format on
        const win32::WindowDc dc(nullptr);
        for (const auto& p : places) {
            const win32::ScopedGdiObject font(CreateFontW(-MulDiv(825, Dpi(), 7200), 0, 0, 0,
                                                          FW_NORMAL, 0, p.h == 1, 0, 0, 0, 0, 0,
                                                          FF_SWISS, L"Tahoma"));
            const win32::SelectedObject use(dc.Get(), font.Get());
            SIZE text{};
            GetTextExtentPoint32W(dc.Get(), p.text.c_str(), static_cast<int>(p.text.size()), &text);
            const int w = p.w > 0 ? Px(p.w) : p.w < 0 ? -p.w : text.cx;
            const int h = p.w > 0 ? Px(p.h) : p.w < 0 ? p.h : text.cy;
            EXPECT_EQ(p.text, Text(Ctl(p.i)));
            EXPECT_EQ((RECT{Px(p.l), Px(p.t), Px(p.l) + w, Px(p.t) + h}),
                      Rect(Ctl(p.i), false, true))
                << p.i;
        }
        // The invisible sound spot lies over the picture, so a click there reaches it.
        EXPECT_EQ(Ctl(kSpot),
                  WindowFromPoint({Rect(Ctl(kSpot)).left + 2, Rect(Ctl(kSpot)).top + 2}));
    }
};

// Run at 96 and at 144 dpi.
TEST_F(MainWindow, LayoutAtTheScreenDpi) {
    ASSERT_EQ(Dpi(), GetDeviceCaps(win32::WindowDc(nullptr).Get(), LOGPIXELSX));
    Start();
    const Registry before = Snapshot();
    const RECT client = Rect(main, true);
    EXPECT_EQ(Twips(0, 0, 5220, 2400),
              (RECT{0, 0, client.right - client.left, client.bottom - client.top}));
    EXPECT_TRUE(FixedFrame(main));
    EXPECT_EQ(Twips(4080, 1920, 1035, 375), Rect(Info(), false, true));
    EXPECT_EQ(Twips(360, 1440, 3255, 315), Rect(Child(main, L"Restore default"), false, true));
    EXPECT_EQ(Twips(360, 360, 4455, 375), Rect(Child(main, kOption1), false, true));
    EXPECT_EQ(Twips(2940, 1920, 1035, 375), Rect(Ok(), false, true));
    EXPECT_EQ(Twips(600, 840, 2175, 195), Rect(Child(main, L"(Recommended)"), false, true));
    EXPECT_TRUE(Checked(Child(main, kOption1)) && !Checked(Child(main, L"Restore default")));

    // Info by key, then by mouse: the About box is built afresh each time.
    OpenAbout();
    ExpectAboutLayout();
    EXPECT_TRUE(ClipPlays());
    XAt(about, "key alt+F4");
    EXPECT_TRUE(Gone(about) && WaitUntil([&] { return IsWindowEnabled(main) && Answers(main); }));
    OpenAbout("click 1", Info());
    ExpectAboutLayout();
    EXPECT_TRUE(ClipPlays());

    // The close boxes close the box, then end the program; all this changed nothing.
    ClickAt(CloseBox(about));
    EXPECT_TRUE(Gone(about));
    ClickAt(CloseBox(main));
    EXPECT_EQ(0u, ExitCode());
    EXPECT_EQ(std::vector<std::wstring>{}, Changed(before, Snapshot()));
}

// Enter and Escape mean nothing to the window as a whole; OK switches AutoRun off and the program
// ends having changed that one value. Later "Restore default" and Alt+O remove it again.
TEST_F(MainWindow, SwitchesAutoRunOffAndBackAndChangesNothingElse) {
    const auto expectSuccess = [&](const Registry& before, Where at = Where::current()) {
        const testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), "");
        const HWND box = Find(pid, IsBox);
        EXPECT_EQ(
            L"Tessaro|Update successful. Changes will take effect after the next computer "
            L"boot.|information|OK",
            Read(box));
        EXPECT_EQ(STILL_ACTIVE, ExitCode(0)) << "the program waits for the user";
        XAt(box, "key Return");
        EXPECT_EQ(0u, ExitCode());
        const Registry after = Snapshot();
        EXPECT_EQ(std::vector{kPolicy}, Changed(before, after));
        return after.contains(kPolicy) ? after.at(kPolicy) : Registry::mapped_type{};
    };
    SetPolicy(0x91);
    Start();
    Registry before = Snapshot();
    Click(Child(main, kOption1));
    ASSERT_TRUE(WaitUntil([&] { return Focus(main) == Child(main, kOption1); }));
    XAt(main, "key Return Escape");
    EXPECT_FALSE(Find(pid, IsBox, 1500));
    EXPECT_TRUE(IsWindowVisible(main) && Answers(main));
    Click(Ok());
    EXPECT_EQ((Registry::mapped_type{REG_DWORD, {255, 0, 0, 0}}), expectSuccess(before));

    Start();
    before = Snapshot();
    Click(Child(main, L"Restore default"));
    ASSERT_TRUE(WaitUntil([&] { return Checked(Child(main, L"Restore default")); }));
    EXPECT_FALSE(Checked(Child(main, kOption1)));
    XAt(main, "key alt+o");
    EXPECT_EQ(Registry::mapped_type{}, expectSuccess(before)) << "the value is still there";
}

// As in a dialog, the focus goes back where it was when the window was left.
TEST_F(MainWindow, FocusReturnsToTheControlThatHadItWhenTheAboutBoxCloses) {
    Start();
    XAt(main, "key Tab Tab");
    ASSERT_TRUE(WaitUntil([&] { return Focus(main) == Info(); }));
    OpenAbout("key Return");  // Enter presses the focused button
    ClickAt(CloseBox(about));
    ASSERT_TRUE(Gone(about));
    EXPECT_TRUE(WaitUntil([&] { return Focus(main) == Info(); }, 2000))
        << "the focus is on " << testing::PrintToString(Text(Focus(main)));
}

}  // namespace

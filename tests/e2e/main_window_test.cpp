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
        // One control of each kind: one placed in twips, a link the size of its text in Tahoma
        // 8.25 pt underlined, a picture at its own size with its frame, at any DPI.
        const win32::WindowDc dc(nullptr);
        const win32::ScopedGdiObject font(CreateFontW(-MulDiv(825, Dpi(), 7200), 0, 0, 0, FW_NORMAL,
                                                      0, TRUE, 0, 0, 0, 0, 0, FF_SWISS, L"Tahoma"));
        const win32::SelectedObject use(dc.Get(), font.Get());
        SIZE link{};
        GetTextExtentPoint32W(dc.Get(), L"Quorrel", 7, &link);
        EXPECT_EQ(L"Tessaro", Text(Ctl(kVersion)));
        EXPECT_EQ(Twips(960, 120, 4995, 195), Rect(Ctl(kVersion), false, true));
        EXPECT_EQ((RECT{Px(5280), Px(2880), Px(5280) + link.cx, Px(2880) + link.cy}),
                  Rect(Ctl(kQuorrel), false, true));
        EXPECT_EQ((RECT{Px(60), Px(1860), Px(60) + 50, Px(1860) + 62}),
                  Rect(Ctl(kPicture), false, true));
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
    EXPECT_EQ(Twips(360, 360, 4455, 375), Rect(Child(main, kOption1), false, true));
    EXPECT_TRUE(Checked(Child(main, kOption1)) && !Checked(Child(main, L"Restore default")));

    // Info by keyboard (Enter presses the focused button), then by mouse: the About box is built
    // afresh each time, and as in a dialog the focus goes back where it was.
    const HWND info = Child(main, L"&Info...");
    XAt(main, "key Tab Tab");
    ASSERT_TRUE(WaitUntil([&] { return Focus(main) == info; }));
    OpenAbout("key Return");
    ExpectAboutLayout();
    XAt(about, "key alt+F4");
    EXPECT_TRUE(Gone(about) && WaitUntil([&] { return Focus(main) == info && Answers(main); }))
        << "the focus is on " << testing::PrintToString(Text(Focus(main)));
    OpenAbout("click 1", info);
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
        EXPECT_EQ(std::vector{kPolicy}, Changed(before, Snapshot()));  // to what it read back
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
    expectSuccess(before);

    Start();
    before = Snapshot();
    Click(Child(main, L"Restore default"));
    ASSERT_TRUE(WaitUntil([&] { return Checked(Child(main, L"Restore default")); }));
    EXPECT_FALSE(Checked(Child(main, kOption1)));
    XAt(main, "key alt+o");
    expectSuccess(before);
}

}  // namespace

// The main window as a user meets it: how it and the About box look at the screen's DPI, the two
// choices by mouse and by keyboard, closing it, and what the registry holds afterwards.
#include <e2e/driver.h>

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
    // All of a control's text shows: its ink on the screen is that of the same text drawn here in
    // Tahoma 8.25 pt of that weight, black or as a link, wrapped in the same column, and not cut
    // short. A radio button's text starts right of its circle, where its ink starts again.
    static void ExpectWhole(HWND control, int weight = FW_NORMAL, bool link = false,
                            Where at = Where::current()) {
        const std::wstring text = Text(control);
        const testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()),
                                         testing::PrintToString(text));
        const win32::ScopedGdiObject font(CreateFontW(-MulDiv(825, Dpi(), 7200), 0, 0, 0, weight, 0,
                                                      link, 0, 0, 0, 0, 0, FF_SWISS, L"Tahoma"));
        const Shot shot = Capture(Rect(control, true));
        const auto draw = [&](int width) {  // on as many lines as it takes
            RECT all{0, 0, width, Dpi() * 2};
            return Capture(all, [&](HDC dc) {
                const win32::SelectedObject use(dc, font.Get());
                FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
                SetTextColor(dc, link ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT));
                SetBkMode(dc, TRANSPARENT);
                DrawTextW(dc, text.c_str(), -1, &all, DT_WORDBREAK | DT_EXPANDTABS);
            });
        };
        const auto ink = [](const Shot& s, int from) {  // the box around it, from that column on
            RECT r{s.w, s.h, 0, 0};
            for (int i = 0; i < s.w * s.h; ++i) {
                if (i % s.w < from || s.px[i] == Face()) continue;
                r = {std::min<LONG>(r.left, i % s.w), std::min<LONG>(r.top, i / s.w),
                     std::max<LONG>(r.right, i % s.w + 1), std::max<LONG>(r.bottom, i / s.w + 1)};
            }
            return r;
        };
        int from = 0;  // where the text's ink starts: past a radio button's circle, from column 0
        while (Class(control) == L"Button" && ink(shot, from).left == from) ++from;
        const RECT got = ink(shot, from);
        const Shot line = draw(shot.w - (from ? got.left - ink(draw(shot.w), 0).left : 0));
        const RECT want = ink(line, 0);
        EXPECT_EQ(want.bottom - want.top, got.bottom - got.top)
            << "cut short in " << shot.h << " px";
        bool same = want.right - want.left == got.right - got.left;
        for (int y = 0; same && y < std::min(want.bottom - want.top, got.bottom - got.top); ++y) {
            const auto row = line.px.begin() + (want.top + y) * line.w;
            same = std::equal(row + want.left, row + want.right,
                              shot.px.begin() + (got.top + y) * shot.w + got.left);
        }
        EXPECT_TRUE(same) << "not the same text";
    }

    void ExpectAboutLayout() {
        EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits for the About box";
        EXPECT_EQ(Twips(2340, 1650, 6135, 3180), Rect(about, true));
        EXPECT_TRUE(FixedFrame(about) && Text(about).empty() && Children(about).size() == 12);
        EXPECT_EQ(L"Tessaro", Text(Ctl(kVersion)));
        // Every text whole; the links blue and underlined, the rest not.
        for (int i : {kQuorrel, kLicence, kHome}) ExpectWhole(Ctl(i), FW_NORMAL, true);
        for (int i : {kCopyright, kVersion, kEnglish, kFree}) ExpectWhole(Ctl(i));
        // The picture is its 48 x 60 bitmap scaled to the density, filling its frame; the
        // invisible sound spot lies on it and on top, so a click there reaches the spot.
        const RECT picture = Rect(Ctl(kPicture)), spot = Rect(Ctl(kSpot));
        EXPECT_EQ((RECT{Px(60), Px(1860), Px(60) + MulDiv(48, Dpi(), 96) + 2,
                        Px(1860) + MulDiv(60, Dpi(), 96) + 2}),
                  Rect(Ctl(kPicture), false, true));
        EXPECT_EQ(0u, Capture(Rect(Ctl(kPicture), true)).Count(Face()));
        RECT on{};
        EXPECT_TRUE(IntersectRect(&on, &spot, &picture) && on == spot);
        EXPECT_EQ(Ctl(kSpot), WindowFromPoint({spot.left + 2, spot.top + 2}));
    }
};

// Run at 96, 120, 144 and 192 dpi.
TEST_F(MainWindow, LayoutAtTheScreenDpi) {
    ASSERT_EQ(Dpi(), GetDeviceCaps(win32::WindowDc(nullptr).Get(), LOGPIXELSX));
    Start();
    const Registry before = Snapshot();
    const RECT client = Rect(main, true);
    EXPECT_EQ(Twips(0, 0, 5220, 2400),
              (RECT{0, 0, client.right - client.left, client.bottom - client.top}));
    EXPECT_TRUE(FixedFrame(main));
    // Option1 in its place in twips, a few pixels taller where its text needs them.
    const RECT at = Rect(Child(main, kOption1), false, true), place = Twips(360, 360, 4455, 375);
    EXPECT_EQ(place, (RECT{at.left, at.top, at.right, place.bottom}));
    EXPECT_TRUE(at.bottom >= place.bottom && at.bottom <= place.bottom + Px(90)) << at.bottom;
    ExpectWhole(Child(main, kOption1));
    ExpectWhole(Child(main, L"Restore default"));
    ExpectWhole(Child(main, L"(Recommended)"), FW_BOLD);
    ExpectWhole(Children(main).back());
    EXPECT_TRUE(Checked(Child(main, kOption1)) && !Checked(Child(main, L"Restore default")));

    // Tab and Shift+Tab go round OK, the chosen option and Info.
    const HWND info = Child(main, L"&Info...");
    const HWND option = Child(main, kOption1);
    for (const auto& [key, next] : {std::pair{"Tab", option},
                                    {"Tab", info},
                                    {"Tab", Ok()},
                                    {"shift+Tab", info},
                                    {"shift+Tab", option},
                                    {"shift+Tab", Ok()}}) {
        XAt(main, std::string("key ") + key);
        EXPECT_TRUE(WaitUntil([&] { return Focus(main) == next; })) << key << " to " << Text(next);
    }
    // Info by Alt+I, by Enter once the box has closed and the focus is back on Info (it is the
    // default button again), then by mouse: the About box is built afresh each time.
    OpenAbout("key alt+i");
    XAt(about, "key alt+F4");
    EXPECT_TRUE(Gone(about) && WaitUntil([&] { return Focus(main) == info && Answers(main); }))
        << "the focus is on " << testing::PrintToString(Text(Focus(main)));
    OpenAbout("key Return");
    ExpectAboutLayout();
    XAt(about, "key alt+F4");
    EXPECT_TRUE(Gone(about));
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

// The desktop shiver, from the About box's "Quorrel", over the test's desktop whose every pixel
// tells where it came from: how it moves, what ends it and what does not, and the screen after.
#include <e2e/driver.h>

namespace {

using namespace e2e;

// Run at 96 and at 144 dpi.
TEST_F(Session, QuorrelShiversTheDesktopUntilAClickOrACharacter) {
    const auto run = [&] {
        OpenAbout();
        Click(Ctl(kQuorrel));
        const HWND effect = Effect();
        return Require(effect, "no effect window"), effect;
    };
    // It ends, the About box with it, and the main window takes input again; everywhere else the
    // screen shows the desktop again, pixel for pixel.
    const auto expectEnded = [&](HWND effect, Where at = Where::current()) {
        const testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), "");
        EXPECT_TRUE(Gone(effect) && Gone(about));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && Answers(main); }));
        const RECT m = Rect(main), s = Screen();
        for (const RECT& r :
             {RECT{0, 0, s.right, m.top}, RECT{0, m.bottom, s.right, s.bottom},
              RECT{0, m.top, m.left, m.bottom}, RECT{m.right, m.top, s.right, m.bottom}}) {
            EXPECT_TRUE(WaitUntil([&] { return Measure(r).moved + Measure(r).foreign == 0; }))
                << testing::PrintToString(r);
        }
    };
    Start();
    HWND effect = run();
    // A frameless window without a taskbar button, over the whole screen, all of which shows the
    // screen as captured; the About box waits for the effect to end.
    EXPECT_EQ(WS_POPUP, Style(effect) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(Text(effect).empty() && GetWindow(effect, GW_OWNER) && IsWindowVisible(about));
    EXPECT_FALSE(Style(effect, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    // The release of the press on Quorrel comes here: a release alone is no click. Nor do keys
    // without a character end it.
    PostMessageW(effect, WM_LBUTTONUP, 0, MAKELPARAM(500, 400));
    EXPECT_FALSE(Gone(effect, 300)) << "a release ended it";
    XAt(effect, "key shift Left F5 ctrl alt");
    EXPECT_FALSE(Gone(effect, 300)) << "a key without a character ended it";

    // Blocks move by -1, 0 or 1 each way, 0 twice as often: the desktop shivers on the spot and
    // shows nothing else. The other presets lean one way (see the unit tests).
    // Below the program's windows only the desktop shows.
    const RECT below{0, std::max(Rect(main).bottom, Rect(about).bottom) + 64, Screen().right,
                     Screen().bottom};
    const Drift d = Measure(below);
    EXPECT_EQ(0u, d.foreign);
    EXPECT_GT(d.moved, d.pixels / 10);
    for (size_t side : d.sides) EXPECT_GT(side, d.moved / 5);

    // A repaint brings back the screen as captured, there and only there.
    const RECT there{0, below.top, below.right / 2, below.bottom};
    const RECT beside{below.right / 2, below.top, below.right, below.bottom};
    ASSERT_TRUE(WaitUntil([&] { return Measure(beside).mean > 8; })) << "it hardly moves";
    RedrawWindow(effect, &there, nullptr, RDW_INVALIDATE);
    EXPECT_TRUE(WaitUntil([&] { return Measure(there).mean < Measure(beside).mean / 3; }, 2000));

    XAt(effect, "key a");
    expectEnded(effect);
    for (const int button : {1, 2, 3}) {
        Click(effect = run(), button);
        expectEnded(effect);
    }
    XAt(effect = run(), "key alt+F4");  // like a click
    expectEnded(effect);
}

}  // namespace

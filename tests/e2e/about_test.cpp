// The About box as a user meets it: its links and clip, the licence through a click and through
// Escape, data files missing or damaged, a folder whose name is not ANSI, and a small screen.
#include <e2e/driver.h>

namespace {

using namespace e2e;

using AboutBox = Session;
constexpr char kHomePageUrl[] = "http://tessaro.example.org";

TEST_F(AboutBox, LinksClipAndLicenceFromAFolderWithANonAnsiName) {
    // The licence in Notepad, which is then closed; the About box stays as it was.
    const auto expectLicence = [&](Where at = Where::current()) {
        const testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), "");
        const HWND notepad = Find(0, IsNotepad);
        EXPECT_LT(Text(GetWindow(notepad, GW_CHILD)).find(L"GNU GENERAL PUBLIC LICENSE"), 99u);
        PostMessageW(notepad, WM_CLOSE, 0, 0);
        EXPECT_TRUE(Gone(notepad) && !Find(pid, IsBox, 0) && IsWindowEnabled(about));
    };
    Copy(L"T\u00ebst \u2713 \u6d4b\u8bd5");
    Start();
    OpenAbout();
    // Links show the hand; text does not.
    std::set<HCURSOR> cursors[2];
    for (int i : {kHome, kLicence, kQuorrel, kVersion, kEnglish, kFree, kCopyright}) {
        const bool link = i <= kQuorrel && i != kSpot;
        X("mousemove " + Xy(Rect(Ctl(i)).left + 2, Rect(Ctl(i)).top + 2));
        CURSORINFO now{sizeof now}, then{sizeof then};
        WaitUntil([&] {  // once the program has set it
            return GetCursorInfo(&then), Sleep(50), GetCursorInfo(&now),
                   now.hCursor == then.hCursor;
        });
        cursors[link].insert(now.hCursor);
    }
    EXPECT_TRUE(cursors[0].size() == 1 && cursors[1].size() == 1 && cursors[0] != cursors[1]);

    // The clip plays in its frame, a one-pixel line; between them only the window's colour, which
    // the frame and the clip take over as the box loads.
    EXPECT_TRUE(ClipPlays());
    const RECT frame = Rect(Ctl(kFrame)), clip = Rect(Ctl(kClip));
    const Shot margin = Capture({frame.left + 1, frame.top + 1, clip.left, frame.bottom - 1});
    EXPECT_EQ(margin.px.size(), margin.Count(Face()));
    EXPECT_EQ(4u, Capture({clip.left, clip.top, clip.left + 2, clip.top + 2}).Count(Face()));
    EXPECT_EQ(0u, Capture({frame.left, frame.top, frame.right, frame.top + 1}).Count(Face()));

    // A click is a press and a release on the same control.
    const RECT link = Rect(Ctl(kLicence));
    const int y = (link.top + link.bottom) / 2;
    X("mousemove " + Xy(link.left + 4, y) + " mousedown 1 mousemove " + Xy(link.right + 40, y) +
      " mouseup 1");
    EXPECT_FALSE(Find(0, IsNotepad, 1500) || Find(pid, IsBox, 0)) << "opened without a click";
    Click(Ctl(kLicence));
    expectLicence();
    // Escape opens the licence when it is released, with Shift held or not.
    XAt(about, "keydown Escape");
    EXPECT_FALSE(Find(0, IsNotepad, 1000)) << "opened on the press";
    XAt(about, "keyup Escape");
    expectLicence();
    XAt(about, "keydown Shift_L key Escape keyup Shift_L");
    expectLicence();
}

// Every action of the box by keyboard. Tab and Shift+Tab go round the four in reading order with
// the focus drawn; Enter or Space does each; no arrow key takes the focus from them, and Escape
// opens the licence wherever the focus is.
TEST_F(AboutBox, EveryActionByKeyboard) {
    // The shell's "open" for web addresses writes the address to a file; the sound file was last
    // read long ago (Linux notes a read of a file whose last read is older than its last write),
    // and it plays to a sound card that plays into nothing (tests/support/null-audio.conf).
    Copy();
    const fs::path asked = root / L"asked.txt";
    const std::wstring open = L"cmd.exe /c echo %1>\"" + asked.wstring() + L"\"";
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\http\\shell\\open\\command", nullptr,
                    REG_SZ, open.c_str(), static_cast<DWORD>(open.size() * 2 + 2));
    const auto sound = [&] {
        return win32::ScopedHandle(CreateFileW((dir / L"pellumo.dll").c_str(),
                                               FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, 0,
                                               OPEN_EXISTING, 0, 0));
    };
    const FILETIME longAgo{0, 0x01DB0000};  // September 2024
    SetFileTime(sound().Get(), nullptr, &longAgo, nullptr);
    const auto read = [&] {
        FILETIME at{};
        return GetFileTime(sound().Get(), nullptr, &at, nullptr), at.dwHighDateTime > 0x01DB0000;
    };
    const auto expectLicence = [&](Where at = Where::current()) {
        const testing::ScopedTrace trace(at.file_name(), static_cast<int>(at.line()), "");
        const HWND notepad = Find(0, IsNotepad);
        PostMessageW(notepad, WM_CLOSE, 0, 0);
        EXPECT_TRUE(notepad && Gone(notepad));
    };
    const auto expectFocus = [&](size_t control, Where at = Where::current()) {
        EXPECT_TRUE(WaitUntil([&] { return Focus(about) == Ctl(control); }))
            << "line " << at.line() << ": the focus is on " << Text(Focus(about));
    };
    Start();
    OpenAbout();

    // An Enter out of habit opens the home page, which has the focus, and never the effect.
    expectFocus(kHome);
    XAt(about, "key Return");
    EXPECT_TRUE(WaitUntil([&] {
        std::string line;
        return std::getline(std::ifstream(asked), line), line.starts_with(kHomePageUrl);
    }));
    EXPECT_FALSE(Effect(500));
    // Back from what the shell started, through a click where the box shows nothing.
    ClickAt({Rect(about, true).left + Px(3000), Rect(about, true).top + Px(2700)});
    expectFocus(kHome);
    for (const size_t next : {kSpot, kLicence, kQuorrel, kHome}) {
        XAt(about, "key Tab");
        expectFocus(next);
    }
    for (const size_t next : {kQuorrel, kLicence}) {
        XAt(about, "key shift+Tab");
        expectFocus(next);
    }
    // The focus is drawn around the link, outside its text, and goes with it.
    const auto ringDrawn = [&](size_t control) {  // along the row above it
        const RECT r = Rect(Ctl(control));
        const Shot row = Capture({r.left - 1, r.top - 1, r.right + 1, r.top});
        return row.Count(Face()) < row.px.size() * 3 / 4;
    };
    EXPECT_TRUE(WaitUntil([&] { return ringDrawn(kLicence); }));
    EXPECT_FALSE(ringDrawn(kQuorrel) || ringDrawn(kHome));
    XAt(about, "key space");
    expectLicence();
    for (const char* arrow : {"Up", "Down", "Left", "Right"}) {
        XAt(about, std::string("key ") + arrow + " Escape");
        expectLicence();
        expectFocus(kLicence);
    }
    XAt(about, "key shift+Tab space");
    expectFocus(kSpot);
    EXPECT_TRUE(WaitUntil(read)) << "the sound is never read";
    XAt(about, "key shift+Tab shift+Tab Return");
    const HWND shiver = Effect();
    XAt(shiver, "key a");
    EXPECT_TRUE(Gone(shiver) && Gone(about));
}

// Without the clip, the sound and the licence, or with the clip and the sound damaged, the box
// opens and works: no animation, no sound, and nothing said about them.
class DataFiles : public Session, public testing::WithParamInterface<int> {};

TEST_P(DataFiles, AboutBoxOpensAndWorks) {
    Copy();
    const fs::path clip = dir / L"pellumo2.dll", sound = dir / L"pellumo.dll";
    if (GetParam() == 0) {
        for (const fs::path& file : {clip, sound, dir / L"gpl.txt"}) fs::remove(file);
    } else if (GetParam() == 3) {  // each a RIFF file, of the other kind
        fs::rename(clip, dir / L"x"), fs::rename(sound, clip), fs::rename(dir / L"x", sound);
    } else {  // empty, or cut short after the headers as by an interrupted copy
        fs::resize_file(clip, GetParam() == 1 ? 0 : 3000);
        fs::resize_file(sound, GetParam() == 1 ? 0 : 100);
    }
    Start();
    OpenAbout();
    Click(Ctl(kSpot));
    ClickAt({Rect(Ctl(kPicture)).right - 4, Rect(Ctl(kPicture)).bottom - 4});  // beside the spot
    EXPECT_FALSE(Find(pid, IsBox, 1000));
    const Shot still = Capture(Rect(Ctl(kClip)));
    EXPECT_TRUE(still.Count(Face()) == still.px.size() && Answers(about));
    // Without the licence its link says so (Escape goes the same way), and the box stays.
    if (GetParam() != 0) return;
    Click(Ctl(kLicence));
    const HWND box = Find(pid, IsBox);
    EXPECT_EQ(L"Tessaro|File not found|OK", Read(box));
    XAt(box, "key Return");
    EXPECT_TRUE(Gone(box) && WaitUntil([&] { return IsWindowEnabled(about); }));
}

INSTANTIATE_TEST_SUITE_P(MissingEmptyCutShortSwapped, DataFiles, testing::Range(0, 4));

// Run on a 640 x 480 screen at 144 dpi, where the box's usual place lies partly off the screen.
TEST_F(AboutBox, SmallScreenKeepsTheAboutBoxInTheWorkArea) {
    Start();
    OpenAbout();
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(about, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT box = Rect(about), inside{};
    IntersectRect(&inside, &box, &monitor.rcWork);
    EXPECT_EQ(box, inside) << "work area " << testing::PrintToString(monitor.rcWork);
    ClickAt(CloseBox(about));  // so its close box is in reach
    EXPECT_TRUE(Gone(about));
}

}  // namespace

// The information window as a user meets it: opened with Info from the main window, where it
// sits and what it shows, the licence through its link and through Escape, the sound spot, the
// animation clip, the way into the desktop effect, and what happens when the data files beside
// the program are missing or damaged or lie in a folder whose name is not ANSI.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

using namespace e2e;

const std::wstring kNotepad = L"gpl.txt - Notepad";
const std::wstring kProduct = L"Tessaro";

// Pixels of a twips length at the DPI of this run.
int Px(int twips) { return MulDiv(twips, ExpectedDpi(), 1440); }

// Wine registers the .txt type while it sets up mshtml, which the test prefixes leave out, so
// there "gpl.txt" would have no program to open it. Every real system has this association.
void AssociateTextFilesWithNotepad() {
    win32::ScopedHkey existing;
    wchar_t type[32] = {};
    DWORD size = sizeof type;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".txt", 0, KEY_READ, existing.Receive()) ==
            ERROR_SUCCESS &&
        RegQueryValueExW(existing.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(type),
                         &size) == ERROR_SUCCESS &&
        type[0] != L'\0') {
        return;
    }
    win32::ScopedHkey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.txt", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, key.Receive(), nullptr));
    const wchar_t txtfile[] = L"txtfile";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(txtfile),
                             sizeof txtfile));
}

// The size of one line of text in the labels' font: Tahoma 8.25 pt, underlined for links.
SIZE TextExtent(const std::wstring& text, bool underline) {
    const win32::ScopedGdiObject font(
        CreateFontW(-MulDiv(825, ExpectedDpi(), 7200), 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE,
                    ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    const win32::WindowDc screen(nullptr);
    const win32::SelectedObject use(screen.Get(), font.Get());
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

bool NotepadShowsTheLicence() {
    const HWND notepad = WaitForWindow(0, WindowQuery{kNotepad, L""});
    if (!notepad) return false;
    const std::wstring text = Text(FindChild(notepad, L"Edit"));
    return text.find(L"GNU GENERAL PUBLIC LICENSE") != std::wstring::npos;
}

// Notepad outlives the program that asked the shell for it.
void CloseNotepads() {
    CloseWindowsByTitle(kNotepad);
    EXPECT_TRUE(WaitUntil([] {
        return !WaitForWindow(0, WindowQuery{kNotepad, L""}, 0);
    })) << "Notepad does not close";
}

// The window's controls. The window lists its children in tab order, which the layout fixes.
struct AboutControls {
    HWND Label4, Label3, Label2, Label1, lblVersione, Label5, Label6, Animation1, Label8, Label7,
        Image2, Image1;
};

class AboutWindow : public testing::Test {
  protected:
    static void SetUpTestSuite() { AssociateTextFilesWithNotepad(); }
    void TearDown() override { CloseNotepads(); }

    // Starts the program from `exe` (default: this test's copy) and opens the information
    // window with Alt+I on the main window.
    void Open(const std::wstring& exe = {}) {
        program = std::make_unique<Program>(exe.empty() ? dist.Exe() : exe);
        ASSERT_TRUE(program->Started()) << program->Error();
        main = WaitForWindow(program->Pid(), WindowQuery{kProduct, L""});
        ASSERT_NE(nullptr, main);
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(program->Pid()) != nullptr; }));
        XKey(main, "alt+i");
        about = WaitForAbout();
        ASSERT_NE(nullptr, about) << "Info shows no information window";
        ASSERT_TRUE(WaitUntilPainted());
    }

    // Shown is not yet drawn. The right-hand column (the clip, which never rests, is on the
    // left) is drawn once it holds text and stays the same between two looks.
    bool WaitUntilPainted() {
        RECT column = ClientRectOnScreen(about);
        column.left += Px(900);
        const std::uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
        Screenshot previous;
        return WaitUntil([&] {
            Screenshot now = CaptureRect(column);
            const bool settled = CountPixels(now, face) < now.pixels.size() &&
                                 CountPixels(now, face) > now.pixels.size() / 2 &&
                                 CountDifferences(previous, now) == 0;
            previous = std::move(now);
            if (!settled) Sleep(50);
            return settled;
        });
    }

    HWND WaitForAbout(DWORD timeoutMs = kDefaultTimeoutMs) {
        return WaitForWindow(
            program->Pid(),
            [&](HWND w) {
                return w != main && ClassName(w) == L"TessaroDialog" && Text(w).empty();
            },
            timeoutMs);
    }

    AboutControls Controls() {
        const std::vector<HWND> c = Children(about);
        EXPECT_EQ(12u, c.size());
        if (c.size() != 12) return {};
        return {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9], c[10], c[11]};
    }

    // Waits for the licence in Notepad, then closes it; the information window stays.
    void ExpectLicenceOpens(Where where = Where::current()) {
        const testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "");
        EXPECT_TRUE(NotepadShowsTheLicence());
        CloseNotepads();
        EXPECT_FALSE(WaitForMessageBox(program->Pid(), 0).has_value());
        EXPECT_TRUE(IsWindowVisible(about) && IsWindowEnabled(about));
    }

    // The failure box for a missing licence, dismissed with Enter; the window stays usable.
    void ExpectFileNotFound(Where where = Where::current()) {
        const testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "");
        const auto box = WaitForMessageBox(program->Pid());
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(kProduct, box->title);
        EXPECT_EQ(L"File not found", box->text);
        EXPECT_FALSE(box->hasIcon);
        EXPECT_EQ(std::vector<std::wstring>{L"OK"}, box->buttons);
        XKey(box->hwnd, "Return");
        EXPECT_TRUE(WaitForWindowGone(box->hwnd));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(about) && IsWindowEnabled(about); }));
        EXPECT_FALSE(WaitForWindow(0, WindowQuery{kNotepad, L""}, 0));
    }

    // Shift stays down from before Escape goes down until after it is up again.
    void WithShiftHeld(const std::function<void()>& keys) {
        XKeyDown(about, "Shift_L");
        keys();
        XKeyUp(about, "Shift_L");
    }

    // Whether the clip moves: its area changes within a second or so.
    bool ClipPlays() {
        const RECT area = WindowRectOnScreen(Controls().Animation1);
        const Screenshot first = CaptureRect(area);
        return WaitUntil([&] { return CountDifferences(first, CaptureRect(area)) > 0; }, 2000);
    }

    void ExpectLayout();

    DistCopy dist;  // first, so that it goes last: the program must be gone before its folder
    std::unique_ptr<Program> program;
    HWND main = nullptr;
    HWND about = nullptr;
};

void AboutWindow::ExpectLayout() {
    // The client area's corner at its stored place on the screen, and its stored size.
    const RECT client = ClientRectOnScreen(about);
    EXPECT_EQ(Px(2340), client.left);
    EXPECT_EQ(Px(1650), client.top);
    EXPECT_EQ(Px(6135), client.right - client.left);
    EXPECT_EQ(Px(3180), client.bottom - client.top);

    // Empty caption; a fixed frame with a close box only; no taskbar button.
    EXPECT_EQ(L"", Text(about));
    const LONG_PTR style = Style(about);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_FALSE(GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_NE(nullptr, GetWindow(about, GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window must wait for the information window";

    const AboutControls c = Controls();
    if (!c.Image1) return;
    EXPECT_EQ(kProduct, Text(c.lblVersione));
    EXPECT_EQ(L"English version", Text(c.Label5));
    EXPECT_EQ(L"This program is freeware. Check for updates on:", Text(c.Label6));
    EXPECT_EQ(L"http://tessaro.example.org/index.html", Text(c.Label8));
    EXPECT_EQ(L"General public license", Text(c.Label3));
    EXPECT_EQ(L"Quorrel", Text(c.Label4));
    EXPECT_NE(std::wstring::npos, Text(c.Label2).find(L"Copyright"));
    EXPECT_EQ(L"", Text(c.Label1));
    EXPECT_EQ(L"", Text(c.Label7));
    EXPECT_EQ(L"SysAnimate32", ClassName(c.Animation1));

    struct Fixed {
        HWND hwnd;
        const char* name;
        int left, top, width, height;
    };
    const Fixed fixed[] = {
        {c.Animation1, "Animation1", 120, 840, 540, 570},
        {c.Label7, "Label7", 60, 780, 675, 675},
        {c.Label6, "Label6", 960, 600, 4095, 255},
        {c.lblVersione, "lblVersione", 960, 120, 4995, 195},
        {c.Label1, "Label1", 180, 2280, 195, 195},
        {c.Label2, "Label2", 960, 1860, 5115, 435},
    };
    for (const auto& f : fixed) {
        const RECT r = ChildRectInParentClient(f.hwnd);
        EXPECT_EQ(Px(f.left), r.left) << f.name;
        EXPECT_EQ(Px(f.top), r.top) << f.name;
        EXPECT_EQ(Px(f.width), r.right - r.left) << f.name;
        EXPECT_EQ(Px(f.height), r.bottom - r.top) << f.name;
    }

    // Labels that size themselves keep their corner and take the size of their text.
    struct Sized {
        HWND hwnd;
        int left, top;
        bool link;
    };
    const Sized sized[] = {{c.Label8, 960, 900, true},
                           {c.Label5, 960, 360, false},
                           {c.Label3, 60, 2880, true},
                           {c.Label4, 5280, 2880, true}};
    for (const auto& s : sized) {
        const std::wstring text = Text(s.hwnd);
        const RECT r = ChildRectInParentClient(s.hwnd);
        const SIZE needed = TextExtent(text, s.link);
        EXPECT_EQ(Px(s.left), r.left) << testing::PrintToString(text);
        EXPECT_EQ(Px(s.top), r.top) << testing::PrintToString(text);
        EXPECT_EQ(needed.cx, r.right - r.left) << testing::PrintToString(text);
        EXPECT_EQ(needed.cy, r.bottom - r.top) << testing::PrintToString(text);
    }

    // Pictures at their own size plus a one-pixel frame, at any DPI.
    const RECT image2 = ChildRectInParentClient(c.Image2);
    EXPECT_EQ(Px(60), image2.left);
    EXPECT_EQ(Px(120), image2.top);
    EXPECT_EQ(34, image2.right - image2.left);
    EXPECT_EQ(34, image2.bottom - image2.top);
    const RECT image1 = ChildRectInParentClient(c.Image1);
    EXPECT_EQ(Px(60), image1.left);
    EXPECT_EQ(Px(1860), image1.top);
    EXPECT_EQ(50, image1.right - image1.left);
    EXPECT_EQ(62, image1.bottom - image1.top);

    // The invisible spot lies over Image1 and is what a click there reaches.
    const RECT spot = WindowRectOnScreen(c.Label1);
    const RECT picture = WindowRectOnScreen(c.Image1);
    EXPECT_TRUE(spot.left >= picture.left && spot.right <= picture.right &&
                spot.top >= picture.top && spot.bottom <= picture.bottom);
    EXPECT_EQ(c.Label1,
              WindowFromPoint({(spot.left + spot.right) / 2, (spot.top + spot.bottom) / 2}));
}

TEST_F(AboutWindow, InfoOpensItAtItsPlaceWithTheProductName) {
    Open();
    ExpectLayout();
}

TEST_F(AboutWindow, LayoutFollowsTheScreenDpi) {
    Open();
    ExpectLayout();
}

// The cursor the user sees with the pointer at a point of the screen.
HCURSOR CursorAt(POINT p) {
    XMovePointer(p.x, p.y);
    HCURSOR shown = nullptr;
    // The program sets it as it handles the move: wait for it to settle.
    WaitUntil(
        [&] {
            CURSORINFO info{};
            info.cbSize = sizeof info;
            const HCURSOR before = GetCursorInfo(&info) ? info.hCursor : nullptr;
            Sleep(50);
            if (!GetCursorInfo(&info) || info.hCursor != before) return false;
            shown = info.hCursor;
            return true;
        },
        2000);
    return shown;
}

POINT InsideNearCorner(HWND hwnd) {
    const RECT r = WindowRectOnScreen(hwnd);
    return {r.left + 2, r.top + 2};
}

TEST_F(AboutWindow, LinksAreBlueAndUnderlinedWithTheHandAndPlainTextIsNot) {
    Open();
    const AboutControls c = Controls();
    ASSERT_NE(nullptr, c.Image1);
    for (HWND link : {c.Label8, c.Label3, c.Label4}) {
        const Screenshot shot = CaptureRect(WindowRectOnScreen(link));
        // The underline: one row that is blue almost from end to end.
        int longestBlueRow = 0;
        for (int y = 0; y < shot.height; ++y) {
            int blue = 0;
            for (int x = 0; x < shot.width; ++x) blue += shot.At(x, y) == 0x0000FF;
            longestBlueRow = std::max(longestBlueRow, blue);
        }
        EXPECT_GE(longestBlueRow, shot.width * 9 / 10) << testing::PrintToString(Text(link));
    }
    for (HWND plain : {c.lblVersione, c.Label5, c.Label6, c.Label2}) {
        EXPECT_EQ(0u, CountPixels(CaptureRect(WindowRectOnScreen(plain)), 0x0000FF))
            << testing::PrintToString(Text(plain));
    }

    // One cursor of its own over every link, and another over plain text. (The program's
    // arrow is its own handle, not comparable with this process's.)
    const HCURSOR overText = CursorAt(InsideNearCorner(c.Label6));
    const HCURSOR overLink = CursorAt(InsideNearCorner(c.Label4));
    ASSERT_NE(nullptr, overLink);
    EXPECT_NE(overText, overLink);
    EXPECT_EQ(overLink, CursorAt(InsideNearCorner(c.Label3)));
    EXPECT_EQ(overLink, CursorAt(InsideNearCorner(c.Label8)));
    EXPECT_EQ(overText, CursorAt(InsideNearCorner(c.Label2)));
}

TEST_F(AboutWindow, ClipPlaysInsideItsFrameOnTheWindowsColour) {
    Open();
    const AboutControls c = Controls();
    ASSERT_NE(nullptr, c.Image1);
    EXPECT_TRUE(ClipPlays());

    // Between the frame and the clip, and around the clip's picture, only the window's colour:
    // the frame label and the control both took it over at load (the frame's own is white).
    const std::uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    ASSERT_NE(face, Rgb(GetSysColor(COLOR_WINDOW)));
    const RECT frame = WindowRectOnScreen(c.Label7);
    const RECT clip = WindowRectOnScreen(c.Animation1);
    const Screenshot margin =
        CaptureRect({frame.left + 1, frame.top + 1, clip.left, frame.bottom - 1});
    EXPECT_EQ(static_cast<size_t>(margin.width) * margin.height, CountPixels(margin, face));
    const Screenshot corner = CaptureRect({clip.left, clip.top, clip.left + 2, clip.top + 2});
    EXPECT_EQ(4u, CountPixels(corner, face));
    // The frame itself is a one-pixel line, not the window's colour.
    EXPECT_EQ(0u,
              CountPixels(CaptureRect({frame.left, frame.top, frame.right, frame.top + 1}), face));
}

TEST_F(AboutWindow, ReleasingEscapeOpensTheLicenceWithOrWithoutShift) {
    Open();
    XKeyDown(about, "Escape");
    EXPECT_FALSE(WaitForWindow(0, WindowQuery{kNotepad, L""}, 1000))
        << "the licence opens when Escape is released, not when it is pressed";
    XKeyUp(about, "Escape");
    ExpectLicenceOpens();

    WithShiftHeld([&] { XKey(about, "Escape"); });
    ExpectLicenceOpens();
}

TEST_F(AboutWindow, LicenceLinkOpensTheLicence) {
    Open();
    XClickCentre(Controls().Label3);
    ExpectLicenceOpens();
}

TEST_F(AboutWindow, WithoutTheLicenceEveryWayReportsFileNotFoundAndTheWindowStays) {
    ASSERT_TRUE(dist.Remove(L"gpl.txt"));
    Open();
    XClickCentre(Controls().Label3);
    ExpectFileNotFound();
    XKey(about, "Escape");
    ExpectFileNotFound();
    WithShiftHeld([&] { XKey(about, "Escape"); });
    ExpectFileNotFound();
}

TEST_F(AboutWindow, SoundSpotAndThePictureAroundItShowNothingWhenTheSoundIsMissing) {
    ASSERT_TRUE(dist.Remove(L"pellumo.dll"));
    Open();
    const AboutControls c = Controls();
    ASSERT_NE(nullptr, c.Image1);
    XClickCentre(c.Label1);
    const RECT picture = ChildRectInParentClient(c.Image1);
    XClickWindow(about, picture.right - 4, picture.bottom - 4);  // outside the spot
    EXPECT_FALSE(WaitForMessageBox(program->Pid(), 1500).has_value());
    EXPECT_TRUE(program->IsRunning());
    // Still answering: Escape opens the licence.
    XKey(about, "Escape");
    ExpectLicenceOpens();
}

// A clip the animation control cannot open must not take the program down.
class AboutWithoutAClip : public AboutWindow, public testing::WithParamInterface<const char*> {
  protected:
    void Damage() {
        const std::wstring clip = dist.File(L"pellumo2.dll");
        const std::string damage = GetParam();
        if (damage == "Missing") {
            ASSERT_TRUE(dist.Remove(L"pellumo2.dll"));
        } else if (damage == "Empty") {
            win32::ScopedHandle file(
                CreateFileW(clip.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
        } else if (damage == "NotAClip") {
            // The sound is a RIFF file as well, but no AVI.
            ASSERT_TRUE(CopyFileW(dist.File(L"pellumo.dll").c_str(), clip.c_str(), FALSE));
        } else {
            // Headers intact, frames gone, as after an interrupted copy.
            win32::ScopedHandle file(
                CreateFileW(clip.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
            ASSERT_TRUE(SetFilePointer(file.Get(), 3000, nullptr, FILE_BEGIN) == 3000 &&
                        SetEndOfFile(file.Get()));
        }
    }
};

TEST_P(AboutWithoutAClip, OpensAndWorksWithoutTheAnimation) {
    ASSERT_NO_FATAL_FAILURE(Damage());
    Open();
    EXPECT_EQ(kProduct, Text(Controls().lblVersione));
    EXPECT_FALSE(WaitForMessageBox(program->Pid(), 500).has_value());
    EXPECT_FALSE(ClipPlays());
    const Screenshot still = CaptureRect(WindowRectOnScreen(Controls().Animation1));
    EXPECT_EQ(static_cast<size_t>(still.width) * still.height,
              CountPixels(still, Rgb(GetSysColor(COLOR_BTNFACE))));
    XKey(about, "Escape");
    ExpectLicenceOpens();
    EXPECT_TRUE(program->IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Clip, AboutWithoutAClip,
                         testing::Values("Missing", "Empty", "NotAClip", "CutShort"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

// A damaged sound plays nothing and says nothing; the window goes on answering.
class AboutWithADamagedSound : public AboutWindow,
                               public testing::WithParamInterface<const char*> {};

TEST_P(AboutWithADamagedSound, TheSoundSpotShowsNothing) {
    const std::wstring sound = dist.File(L"pellumo.dll");
    const std::string damage = GetParam();
    if (damage == "NotASound") {
        ASSERT_TRUE(CopyFileW(dist.File(L"pellumo2.dll").c_str(), sound.c_str(), FALSE));
    } else {
        win32::ScopedHandle file(
            CreateFileW(sound.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
        const LONG keep = damage == "Empty" ? 0 : 100;  // "CutShort": the header, no samples
        ASSERT_TRUE(SetFilePointer(file.Get(), keep, nullptr, FILE_BEGIN) ==
                        static_cast<DWORD>(keep) &&
                    SetEndOfFile(file.Get()));
    }
    Open();
    XClickCentre(Controls().Label1);
    EXPECT_FALSE(WaitForMessageBox(program->Pid(), 1000).has_value());
    EXPECT_TRUE(program->IsRunning());
    XKey(about, "Escape");
    ExpectLicenceOpens();
}

INSTANTIATE_TEST_SUITE_P(Sound, AboutWithADamagedSound,
                         testing::Values("Empty", "CutShort", "NotASound"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_F(AboutWindow, InfoASecondTimeLoadsTheWindowAfresh) {
    Open();
    XKey(about, "alt+F4");
    ASSERT_TRUE(WaitForWindowGone(about));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));
    ASSERT_TRUE(program->IsRunning());

    XClickCentre(FindChild(main, L"Button", L"&Info..."));
    about = WaitForAbout();
    ASSERT_NE(nullptr, about);
    ASSERT_TRUE(WaitUntilPainted());
    ExpectLayout();
    EXPECT_TRUE(ClipPlays());
}

TEST_F(AboutWindow, QuorrelRunsTheEffectThenLeavesTheMainWindowTakingInput) {
    Open();
    XClickCentre(Controls().Label4);
    const HWND effect = WaitForWindow(program->Pid(), [&](HWND w) {
        const RECT r = WindowRectOnScreen(w);
        return w != main && w != about && r.left == 0 && r.top == 0 &&
               r.right == GetSystemMetrics(SM_CXSCREEN) &&
               r.bottom == GetSystemMetrics(SM_CYSCREEN);
    });
    ASSERT_NE(nullptr, effect) << "no full-screen effect window";
    EXPECT_TRUE(IsWindow(about)) << "the information window waits for the effect to end";

    XKey(effect, "space");
    EXPECT_TRUE(WaitForWindowGone(effect));
    EXPECT_TRUE(WaitForWindowGone(about)) << "the information window closes after the effect";
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));
    EXPECT_TRUE(program->IsRunning());

    // The main window answers the keyboard again, and Info loads a fresh information window.
    XKey(main, "alt+i");
    about = WaitForAbout();
    ASSERT_NE(nullptr, about);
    ASSERT_TRUE(WaitUntilPainted());
    EXPECT_EQ(kProduct, Text(Controls().lblVersione));
}

TEST_F(AboutWindow, RunsFromAFolderWithANonAnsiName) {
    const std::wstring folder = dist.Dir() + L"\\T\u00ebst \u2713 \u6d4b\u8bd5";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
    for (const wchar_t* name : {L"tessaro.exe", L"pellumo.dll", L"pellumo2.dll", L"gpl.txt"}) {
        ASSERT_TRUE(CopyFileW(dist.File(name).c_str(), (folder + L"\\" + name).c_str(), FALSE))
            << GetLastError();
    }
    Open(folder + L"\\tessaro.exe");
    EXPECT_TRUE(ClipPlays());
    XKey(about, "Escape");
    ExpectLicenceOpens();
}

// The program runs elevated, often from a Downloads folder. A DLL planted beside it under the
// name of one the program loads must never be loaded, whatever the user does. Wine prefers its
// own built-in DLLs, which would make this pass for the wrong reason: this test runs on its own
// with native DLLs of these names preferred (WINEDLLOVERRIDES, which Wine reads only from the
// environment it was started in).
TEST_F(AboutWindow, DllsPlantedBesideTheProgramAreNeverLoaded) {
    const wchar_t* const planted[] = {L"winmm.dll", L"msvfw32.dll", L"msacm32.dll", L"uxtheme.dll",
                                      L"version.dll"};
    wchar_t self[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    std::wstring source(self, n);
    source = source.substr(0, source.find_last_of(L'\\')) + L"\\planted.dll";
    for (const wchar_t* name : planted) {
        ASSERT_TRUE(CopyFileW(source.c_str(), dist.File(name).c_str(), FALSE)) << GetLastError();
    }

    // First show that a plain search reaching a planted DLL does load it here; otherwise the
    // check below could pass for the wrong reason.
    const std::wstring canaryMarker = dist.File(L"msacm32.dll") + L".loaded";
    SetDllDirectoryW(dist.Dir().c_str());
    const HMODULE canary = LoadLibraryW(L"msacm32.dll");
    SetDllDirectoryW(nullptr);
    if (canary) FreeLibrary(canary);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(canaryMarker.c_str()))
        << "native DLLs are not preferred in this run (WINEDLLOVERRIDES)";
    ASSERT_TRUE(DeleteFileW(canaryMarker.c_str()));

    Open();

    // Every feature: the clip plays, the sound spot, the licence through the shell, the effect.
    EXPECT_TRUE(ClipPlays());
    XClickCentre(Controls().Label1);
    XKey(about, "Escape");
    ExpectLicenceOpens();
    XClickCentre(Controls().Label4);
    const HWND effect = WaitForWindow(program->Pid(), [&](HWND w) {
        return w != main && w != about &&
               WindowRectOnScreen(w).right == GetSystemMetrics(SM_CXSCREEN);
    });
    ASSERT_NE(nullptr, effect);
    XKey(effect, "space");
    ASSERT_TRUE(WaitForWindowGone(about));
    XKey(main, "alt+F4");
    EXPECT_TRUE(program->WaitForExit());

    for (const wchar_t* name : planted) {
        const std::wstring marker = dist.File(name) + L".loaded";
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(marker.c_str()))
            << "the planted " << testing::PrintToString(std::wstring(name)) << " was loaded";
    }
}

}  // namespace

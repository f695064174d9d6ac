// Drives the real program as a user would, from inside Wine in Xvfb: starts it from a copy of its
// folder over a desktop of the test's own, finds its windows, sends real X input through xdotool,
// and reads the screen and the registry. Every wait polls with a time limit.
//   tessaro_e2e_tests PATH/TO/tessaro.exe [--gtest_...]   (a Windows path, or a Unix one when
//   started from a Unix folder, as ctest does)
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <source_location>

#include <win32/scoped_handles.h>

inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << '{' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << '}';
}

namespace e2e {

namespace fs = std::filesystem;
using Where = std::source_location;
constexpr DWORD kWait = 10000;

// The DPI this run's prefix has: the 96 and 144 dpi runs share their tests.
inline int Dpi() {
    const char* dpi = std::getenv("TESSARO_E2E_DPI");
    return dpi ? std::atoi(dpi) : 96;
}
inline int Px(int twips) { return MulDiv(twips, Dpi(), 1440); }
inline RECT Screen() {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Ends the test at once: a step the rest of it stands on went wrong.
inline void Require(bool ok, const char* what, Where at = Where::current()) {
    if (!ok) throw std::runtime_error(at.file_name() + (":" + std::to_string(at.line())) + what);
}

inline bool WaitUntil(const std::function<bool()>& done, DWORD ms = kWait) {
    for (const ULONGLONG start = GetTickCount64(); !done(); Sleep(10)) {
        if (GetTickCount64() - start >= ms) return false;
        MSG msg;  // the test's desktop paints meanwhile
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
}

// The topmost visible top-level window of a process (0: of any) that matches; null on time-out.
inline HWND Find(DWORD pid, const std::function<bool(HWND)>& match, DWORD ms = kWait) {
    HWND found = nullptr;
    const auto look = [&] {
        for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if ((!pid || owner == pid) && IsWindowVisible(w) && match(w)) found = w;
        }
        return found != nullptr;
    };
    return WaitUntil(look, ms), found;
}
inline bool Gone(HWND w, DWORD ms = kWait) {
    return WaitUntil([w] { return !IsWindow(w) || !IsWindowVisible(w); }, ms);
}
inline std::vector<HWND> Children(HWND parent) {  // in Z order, which is also the tab order
    std::vector<HWND> all;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
    return all;
}
inline DWORD_PTR Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {  // 0 if it hangs
    DWORD_PTR result = 0;
    SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &result);
    return result;
}
inline std::wstring Text(HWND w) {
    wchar_t text[512] = {};
    return std::wstring(text, Send(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text)));
}
inline HWND Child(HWND parent, const std::wstring& text) {
    for (HWND c : Children(parent))
        if (Text(c) == text) return c;
    return nullptr;
}
inline std::wstring Class(HWND w) {
    wchar_t name[64] = {};
    return std::wstring(name, std::max(0, GetClassNameW(w, name, 64)));
}
inline LONG_PTR Style(HWND w, int which = GWL_STYLE) { return GetWindowLongPtrW(w, which); }
inline bool IsNotepad(HWND w) { return Text(w) == L"gpl.txt - Notepad"; }
inline bool IsMain(HWND w) { return Text(w) == L"Tessaro"; }
inline bool Answers(HWND w) { return SendMessageTimeoutW(w, WM_NULL, 0, 0, 0, 2000, nullptr); }
// On the screen, or (client) its client area on the screen, or (parent) in the parent's client.
inline RECT Rect(HWND w, bool client = false, bool parent = false) {
    RECT r{};
    client ? GetClientRect(w, &r) : GetWindowRect(w, &r);
    MapWindowPoints(client ? w : HWND_DESKTOP, parent ? GetParent(w) : HWND_DESKTOP,
                    reinterpret_cast<POINT*>(&r), 2);
    return r;
}
inline POINT CloseBox(HWND w) {  // a point of the frame's close button, found as the mouse would
    const RECT r = Rect(w);
    for (int x = r.right, y = (r.top + Rect(w, true).top) / 2; --x > r.right - 99;) {
        if (Send(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return {x - 2, y};
    }
    return {-1, -1};
}
inline HWND Focus(HWND w) {  // of the thread that owns w
    GUITHREADINFO info{sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info) ? info.hwndFocus : nullptr;
}

inline std::string Xy(int x, int y) { return std::to_string(x) + ' ' + std::to_string(y); }
// Wine starts Unix programs without a handle to wait on: the shell leaves "0" in a file of this
// run's private prefix when xdotool succeeded without a word (it only warns of a key name it does
// not know), renamed into place so that it is never read half written.
inline void X(const std::string& args, Where at = Where::current()) {
    static int counter = 0;
    const std::string done = std::getenv("WINEPREFIX") + ("/xdotool" + std::to_string(++counter));
    std::string sh = "/bin/sh -c \"out=$(xdotool " + args + " 2>&1); echo $?$out >" + done +
                     ".part; mv " + done + ".part " + done + "\"";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::string status;
    if (CreateProcessA(0, sh.data(), 0, 0, FALSE, 0, 0, 0, &startup, &info) &&
        WaitUntil([&] { return fs::exists(done); })) {
        std::getline(std::ifstream(done), status);
    }
    if (status != "0") ADD_FAILURE_AT(at.file_name(), at.line()) << args << ": " << status;
}
// The pointer goes to the middle of the window first; keys go to the active window.
inline void XAt(HWND w, const std::string& args, Where at = Where::current()) {
    const RECT r = Rect(w, true);
    X("mousemove " + Xy((r.left + r.right) / 2, (r.top + r.bottom) / 2) + " " + args, at);
}
inline void Click(HWND w, int button = 1, Where at = Where::current()) {
    XAt(w, "click " + std::to_string(button), at);
}
inline void ClickAt(POINT p, Where at = Where::current()) {
    X("mousemove " + Xy(p.x, p.y) + " click 1", at);
}

struct Shot {  // 0x00RRGGBB per pixel, rows top to bottom
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
    size_t Count(std::uint32_t rgb) const { return std::count(px.begin(), px.end(), rgb); }
    bool operator==(const Shot&) const = default;
};
// What the screen shows there, with `over` drawn over it if given.
inline Shot Capture(const RECT& r, const std::function<void(HDC)>& over = {}) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
    const win32::WindowDc screen(nullptr);
    void* bits = nullptr;
    const win32::ScopedGdiObject dib(
        CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win32::ScopedMemoryDc dc(CreateCompatibleDC(screen.Get()));
    if (!bits || !dc) return {};
    {
        const win32::SelectedObject use(dc.Get(), dib.Get());
        BitBlt(dc.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY | CAPTUREBLT);
        if (over) over(dc.Get());
        GdiFlush();
    }
    Shot shot{w, h, {static_cast<std::uint32_t*>(bits), static_cast<std::uint32_t*>(bits) + w * h}};
    for (auto& p : shot.px) p &= 0xFFFFFF;
    return shot;
}
inline std::uint32_t Face() { return _byteswap_ulong(GetSysColor(COLOR_BTNFACE)) >> 8; }

// Every pixel of the test's desktop has a colour of its own, none of them black, so a pixel on the
// screen tells where on that desktop it came from: red and green carry the low bits of x and y,
// blue 0x40 and their high bits.
inline std::uint32_t Pattern(int x, int y) {
    return (x & 255) << 16 | (y & 255) << 8 | 0x40 | (x >> 8) << 3 | y >> 8;
}
struct Drift {  // of the pixels of a part of the screen from their places on the desktop
    size_t pixels = 0, foreign = 0, moved = 0, sides[4] = {};  // sides: moved left, right, up, down
    double mean = 0;                                           // of the larger of |dx| and |dy|
};
inline Drift Measure(const RECT& area) {
    const Shot shot = Capture(area);
    Drift d{shot.px.size()};
    for (int i = 0; i < static_cast<int>(shot.px.size()); ++i) {
        const std::uint32_t c = shot.px[i], blue = c & 255;
        const int x = (blue >> 3 & 7) << 8 | c >> 16, y = (blue & 7) << 8 | (c >> 8 & 255);
        const int dx = x - area.left - i % shot.w, dy = y - area.top - i / shot.w;
        if (Pattern(x, y) != c) {
            ++d.foreign;
        } else if (dx || dy) {
            ++d.moved, d.mean += std::max(std::abs(dx), std::abs(dy)) * 1.0 / d.pixels;
            d.sides[0] += (dx < 0), d.sides[1] += (dx > 0), d.sides[2] += (dy < 0);
            d.sides[3] += (dy > 0);
        }
    }
    return d;
}

// What a screen reader reads of an element, as "role|name|description|default action|states",
// role and states in Windows' words; the element is the window's own (OBJID_CLIENT) or the one
// an event named.
inline const IID kIidAccessible = {  // mingw's import library has a wrong one
    0x618736e0,
    0x3c3d,
    0x11cf,
    {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
struct Accessible {
    IAccessible* p = nullptr;
    VARIANT child{};  // VT_EMPTY until set: CHILDID_SELF
    Accessible() { child.vt = VT_I4, child.lVal = CHILDID_SELF; }
    explicit Accessible(HWND w) : Accessible() {
        AccessibleObjectFromWindow(w, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&p));
    }
    Accessible(const Accessible&) = delete;
    ~Accessible() {
        if (p) p->Release();
    }
    std::wstring Read() const {
        if (!p) return L"(no object)";
        using Get = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
        const auto text = [&](Get get) {
            BSTR b = nullptr;
            std::wstring t = SUCCEEDED((p->*get)(child, &b)) && b ? b : L"";
            return SysFreeString(b), L"|" + t;
        };
        VARIANT v{};
        wchar_t word[64] = {};
        p->get_accRole(child, &v);
        std::wstring out(word, v.vt == VT_I4 ? GetRoleTextW(v.lVal, word, 64) : 0);
        out += text(&IAccessible::get_accName) + text(&IAccessible::get_accDescription) +
               text(&IAccessible::get_accDefaultAction) + L"|";
        VariantInit(&v);
        p->get_accState(child, &v);
        for (DWORD bit = 1; v.vt == VT_I4 && bit && bit <= static_cast<DWORD>(v.lVal); bit <<= 1) {
            if (v.lVal & bit) out += std::wstring(word, GetStateTextW(bit, word, 64)) + L",";
        }
        return out;
    }
};

inline bool IsBox(HWND w) { return Class(w) == L"#32770"; }
// A message box as the user reads it: "title|text|icon|buttons...", the icon "information" when it
// looks exactly like that stock icon drawn here over the colour of its corner. Wine's box hides
// the buttons it does not use.
inline std::wstring Read(HWND box) {
    std::wstring text, icon, buttons;
    for (HWND c : Children(box)) {
        const RECT r = Rect(c, true);
        const auto draw = [&](HDC dc) {
            StretchBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, dc, 0, 0, 1, 1, SRCCOPY);
            DrawIconEx(dc, 0, 0, LoadIconW(nullptr, IDI_INFORMATION), r.right - r.left,
                       r.bottom - r.top, 0, nullptr, DI_NORMAL);
        };  // the box may paint it a moment after it shows
        if (!IsWindowVisible(c)) continue;
        if (!_wcsicmp(Class(c).c_str(), L"Button"))
            buttons += L"|" + Text(c);
        else if ((Style(c) & SS_TYPEMASK) != SS_ICON)
            text += text.empty() ? Text(c) : L"";
        else if (Send(c, STM_GETICON))
            icon = WaitUntil([&] { return Capture(r) == Capture(r, draw); }, 1000) ? L"|information"
                                                                                   : L"|icon";
    }
    return Text(box) + L"|" + text + icon + buttons;
}
// "HKLM\path|name" for values and "HKLM\path|" for keys. Wine's own keys and the 32-bit view, where
// Wine shows the policy values of the 64-bit one as well, are left out.
using Registry = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;
inline const std::wstring kPolicyKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline const std::wstring kPolicy = L"HKLM\\" + kPolicyKey + L"|NoDriveTypeAutoRun";
inline void Walk(HKEY key, const std::wstring& path, Registry& out) {
    static std::vector<BYTE> data(1 << 20);  // one buffer for the whole walk: allocating is slow
    static wchar_t name[16384];              // the longest name the registry allows
    for (DWORD i = 0, length, type, size; length = 16384, size = data.size(),
               !RegEnumValueW(key, i++, name, &length, 0, &type, data.data(), &size);) {
        out[path + L"|" + std::wstring(name, length)] = {type, {data.data(), data.data() + size}};
    }
    for (DWORD i = 0, length;
         length = 16384, !RegEnumKeyExW(key, i++, name, &length, 0, 0, 0, 0);) {
        const std::wstring child = path + L"\\" + std::wstring(name, length);
        win32::ScopedHkey sub;
        if (child.ends_with(L"\\Wine") || child.ends_with(L"\\Wow6432Node")) continue;
        out[child + L"|"] = {};
        if (!RegOpenKeyExW(key, name, 0, KEY_READ, sub.Receive())) Walk(sub.Get(), child, out);
    }
}
inline Registry Snapshot() {
    Registry all;
    Walk(HKEY_LOCAL_MACHINE, L"HKLM", all), Walk(HKEY_CURRENT_USER, L"HKCU", all);
    return all;
}
// The names whose value is new, gone or different.
inline std::vector<std::wstring> Changed(const Registry& before, const Registry& after) {
    std::vector<Registry::value_type> differ;
    std::ranges::set_symmetric_difference(before, after, std::back_inserter(differ));
    std::vector<std::wstring> names;
    for (const auto& [name, value] : differ)
        if (names.empty() || names.back() != name) names.push_back(name);
    return names;
}
inline void SetPolicy(DWORD value) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey.c_str(), L"NoDriveTypeAutoRun", REG_DWORD,
                    &value, 4);
}

class Session : public testing::Test {
  protected:
    // The About box's controls, in tab order.
    enum { kHome, kSpot, kLicence, kQuorrel, kCopyright, kVersion, kEnglish, kFree, kClip, kFrame };
    static constexpr int kPicture = 11;  // after the logo

    void SetUp() override {
        static int count = 0;  // in this run's private prefix
        root = fs::temp_directory_path() / ("e2e" + std::to_string(++count));
        const RECT s = Screen();
        std::vector<std::uint32_t> pixels(s.right * s.bottom);
        for (int i = 0; i < s.right * s.bottom; ++i) pixels[i] = Pattern(i % s.right, i / s.right);
        picture.Reset(CreateBitmap(s.right, s.bottom, 1, 32, pixels.data()));
        // Like the real desktop, it never takes the activation or the top from the program.
        desktop = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"Static", nullptr,
                                  WS_POPUP | WS_DISABLED | SS_BITMAP, 0, 0, 0, 0, 0, 0, 0, 0);
        SendMessageW(desktop, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.Get()));
        SetWindowPos(desktop, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ASSERT_TRUE(WaitUntil([] { return Capture({8, 8, 9, 9}).Count(Pattern(8, 8)); }));
    }
    void TearDown() override {
        if (process) TerminateProcess(process.Get(), 1), WaitForSingleObject(process.Get(), kWait);
        while (HWND notepad = Find(0, IsNotepad, 0)) {  // it outlives the program that asked for it
            PostMessageW(notepad, WM_CLOSE, 0, 0);
            Require(Gone(notepad), "Notepad stays");
        }
        DestroyWindow(desktop);
        std::error_code ignored;
        // The program runs elevated, often from a Downloads folder: DLLs planted beside it under
        // the names of ones it loads must never be loaded, whatever the user does.
        for (const auto& file : fs::directory_iterator(dir, ignored)) {
            EXPECT_NE(fs::path(".loaded"), file.path().extension()) << file.path();
        }
        fs::remove_all(root, ignored);
    }
    // A copy of the program's folder under this name, to spoil files in before Start(): the folder
    // of the program named on the command line, which may hold planted DLLs as well.
    void Copy(const std::wstring& folder = L"dist") {
        fs::create_directories(dir = root / folder);
        fs::copy(fs::absolute(__argc > 1 ? __argv[1] : "").parent_path(), dir);
        if (!fs::exists(dir / L"msacm32.dll")) return;  // planted ones (see tests/CMakeLists.txt)
        SetDllDirectoryW(dir.c_str());  // a search that reaches them does load them in this run
        FreeLibrary(LoadLibraryW(L"msacm32.dll"));
        SetDllDirectoryW(nullptr);
        ASSERT_TRUE(fs::remove(dir / L"msacm32.dll.loaded")) << "native DLLs are not preferred";
    }
    // Starts the copy and waits until the main window takes input: the focus is on OK.
    // With a token, as that user: the limited half of an administrator's, say.
    void Start(HANDLE token = nullptr) {
        if (dir.empty()) Copy();
        std::wstring exe = dir / L"tessaro.exe", command = L"\"" + exe + L"\"";
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION info{};
        // Wine now and then refuses a start with an internal error while the previous test's
        // process is still being torn down; a moment later the same start works.
        for (int tries = 0; !CreateProcessAsUserW(token, exe.c_str(), command.data(), 0, 0, FALSE,
                                                  0, 0, dir.c_str(), &startup, &info);
             Sleep(200)) {
            Require(GetLastError() == ERROR_INTERNAL_ERROR && ++tries < 5, "cannot start it");
        }
        CloseHandle(info.hThread);
        process.Reset(info.hProcess);
        pid = info.dwProcessId;
        main = Find(pid, IsMain);
        Require(WaitUntil([&] { return Ok() && Focus(main) == Ok(); }), "no main window");
    }
    // Runs a program of the folder with the arguments, quoted as the caller quotes them: "CODE "
    // and then what it printed to the pipe it got as its output.
    std::string Run(const std::wstring& arguments, const wchar_t* program = L"tessaro.exe") {
        if (dir.empty()) Copy();
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        win32::ScopedHandle read, write;
        CreatePipe(read.Receive(), write.Receive(), &inherit, 0);
        STARTUPINFOW startup{sizeof startup};
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = write.Get();
        std::wstring command = L"\"" + (dir / program).wstring() + L"\" " + arguments;
        PROCESS_INFORMATION info{};
        Require(CreateProcessW(nullptr, command.data(), 0, 0, TRUE, 0, 0, 0, &startup, &info),
                "cannot start it");
        write.Reset();
        std::string output;
        char buffer[4096];
        for (DWORD n; ReadFile(read.Get(), buffer, sizeof buffer, &n, nullptr) && n;) {
            output.append(buffer, n);
        }
        CloseHandle(info.hThread);
        process.Reset(info.hProcess);
        return std::to_string(ExitCode()) + " " + output;
    }
    HWND Ok() const { return Child(main, L"&Ok"); }
    // Opens the About box and waits until it is drawn: its last link is blue, and all to the right
    // of the clip, which never rests, looks the same for a moment.
    void OpenAbout(const std::string& xdotool = "key alt+i", HWND target = nullptr) {
        XAt(target ? target : main, xdotool);
        about =
            Find(pid, [&](HWND w) { return w != main && (Style(w) & WS_CAPTION) == WS_CAPTION; });
        Require(about, "Info shows no About box");
        const RECT client = Rect(about, true),
                   right{Rect(Ctl(kClip)).right, client.top, client.right, client.bottom};
        Require(WaitUntil([&] {
                    const Shot now = Capture(right);
                    return Sleep(100),
                           Capture(Rect(Ctl(kLicence))).Count(0xFF) && Capture(right) == now;
                }),
                "the About box is never drawn");
    }
    HWND Ctl(size_t i) const { return i < Children(about).size() ? Children(about)[i] : nullptr; }
    bool ClipPlays() const {
        const Shot first = Capture(Rect(Ctl(kClip)));
        return WaitUntil([&] { return Capture(Rect(Ctl(kClip))) != first; }, 2000);
    }
    HWND Effect(DWORD ms = kWait) const {  // the window over the whole screen
        return Find(
            pid, [&](HWND w) { return w != main && w != about && Rect(w) == Screen(); }, ms);
    }
    DWORD ExitCode(DWORD ms = kWait) const {  // STILL_ACTIVE while it runs
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(process.Get(), ms);
        return GetExitCodeProcess(process.Get(), &code), code;
    }

    fs::path root, dir;
    win32::ScopedHandle process;
    win32::ScopedGdiObject picture;
    DWORD pid = 0;
    HWND main = nullptr, about = nullptr, desktop = nullptr;
};

}  // namespace e2e

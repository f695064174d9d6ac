#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ostream>
#include <set>

namespace e2e {

using win32::ScopedGdiObject;
using win32::ScopedHandle;
using win32::ScopedHkey;
using win32::ScopedMemoryDc;
using win32::SelectedObject;
using win32::WindowDc;

namespace {

// Short enough that a hung program fails the test rather than stalling it.
constexpr UINT kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 10;

std::wstring& TessaroExePath() {
    static std::wstring path;
    return path;
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// Enumeration callbacks must be stdcall on 32-bit Windows, which lambdas are not: one
// trampoline carries the visitor instead. The visitor returns false to stop.
using Visitor = std::function<bool(HWND)>;
BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    return (*reinterpret_cast<const Visitor*>(param))(hwnd) ? TRUE : FALSE;
}

// Every top-level window of a process, shown or not, for thread lookups.
std::vector<HWND> AllTopLevelWindows(DWORD pid) {
    std::vector<HWND> found;
    const Visitor visit = [&](HWND hwnd) {
        if (pid == 0 || ProcessOf(hwnd) == pid) found.push_back(hwnd);
        return true;
    };
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&visit));
    return found;
}

std::set<DWORD> GuiThreadsOf(DWORD pid) {
    std::set<DWORD> threads;
    for (HWND hwnd : AllTopLevelWindows(pid))
        threads.insert(GetWindowThreadProcessId(hwnd, nullptr));
    return threads;
}

bool RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(dir.c_str()) != FALSE;
}

std::string ReadSmallFile(const std::wstring& path) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return {};
    }
    std::string text(4096, '\0');
    DWORD got = 0;
    if (!ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) got = 0;
    text.resize(got);
    return text;
}

// The Windows command-line rules, which Wine also applies when it splits the command line of a
// Unix program into its argv.
std::string QuoteArgument(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, '\\');
    out.push_back('"');
    return out;
}

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out.push_back(c);
        }
    }
    return out + "'";
}

// Key names go into the shell line unquoted; anything else than a keysym is a mistake.
bool IsKeyList(const std::string& keys) {
    return !keys.empty() && std::all_of(keys.begin(), keys.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '+' || c == ' ' || c == '-';
    });
}

// Names for xdotool's status files in /tmp. Windows process ids repeat across the runs'
// separate wineservers, so a file made by GetTempFileName (unique on the shared /tmp) stands
// for this run; it goes when the program ends.
class XFiles {
  public:
    XFiles() {
        const std::wstring tmp = DosPath("/tmp/");
        wchar_t marker[MAX_PATH] = {};
        if (!tmp.empty() && GetTempFileNameW(tmp.c_str(), L"tse", 0, marker)) {
            marker_ = marker;
            const std::wstring name = marker_.substr(tmp.size());
            stem_ = "/tmp/" + Narrow(name.substr(0, name.rfind(L'.')));
        }
    }
    ~XFiles() {
        if (!marker_.empty()) DeleteFileW(marker_.c_str());
    }
    const std::string& Stem() const { return stem_; }

  private:
    std::wstring marker_;
    std::string stem_;
};

std::string XFileStem() {
    static XFiles files;
    return files.Stem();
}

POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::string PointerTo(HWND target) {
    const POINT p = CentreOf(ClientRectOnScreen(target));
    return "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " ";
}

// A width x height picture of whatever `draw` puts into a 32-bit DIB (given the screen's DC and
// the DIB's); empty when drawing fails.
Screenshot DrawIntoDib(int width, int height, const std::function<bool(HDC, HDC)>& draw) {
    Screenshot shot;
    if (width <= 0 || height <= 0) return shot;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    WindowDc screen(nullptr);
    void* bits = nullptr;
    ScopedGdiObject bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemoryDc dc(CreateCompatibleDC(screen.Get()));
    if (!bitmap || !dc) return shot;
    {
        SelectedObject selected(dc.Get(), bitmap.Get());
        if (!draw(screen.Get(), dc.Get())) return shot;
        GdiFlush();
    }
    shot.width = width;
    shot.height = height;
    const auto* src = static_cast<const std::uint32_t*>(bits);
    shot.pixels.assign(src, src + static_cast<size_t>(width) * height);
    for (auto& p : shot.pixels) p &= 0xFFFFFF;  // blits leave the top byte undefined
    return shot;
}

// Draws a stock icon as a static control would, over `background`, at the given size.
Screenshot RenderStockIcon(LPCWSTR id, int width, int height, std::uint32_t background) {
    HICON icon = LoadIconW(nullptr, id);  // shared: not to be destroyed
    if (!icon) return {};
    return DrawIntoDib(width, height, [&](HDC, HDC dc) {
        const COLORREF bg =
            RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
        ScopedGdiObject brush(CreateSolidBrush(bg));
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(brush.Get()));
        return DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) != FALSE;
    });
}

MessageBoxInfo::Icon IdentifyIcon(HWND iconStatic) {
    const RECT r = ClientRectOnScreen(iconStatic);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    struct Candidate {
        LPCWSTR id;
        MessageBoxInfo::Icon icon;
    };
    const Candidate candidates[] = {
        {IDI_INFORMATION, MessageBoxInfo::Icon::kInformation},
        {IDI_WARNING, MessageBoxInfo::Icon::kWarning},
        {IDI_ERROR, MessageBoxInfo::Icon::kError},
        {IDI_QUESTION, MessageBoxInfo::Icon::kQuestion},
    };
    MessageBoxInfo::Icon seen = MessageBoxInfo::Icon::kOther;
    // The icon may be painted a moment after the box appears.
    WaitUntil(
        [&] {
            const Screenshot shown = CaptureRect(r);
            if (shown.pixels.empty()) return false;
            const std::uint32_t background = shown.At(0, 0);  // icons have clear corners
            for (const auto& c : candidates) {
                if (CountDifferences(shown, RenderStockIcon(c.id, w, h, background)) == 0) {
                    seen = c.icon;
                    return true;
                }
            }
            return false;
        },
        1000);
    return seen;
}

}  // namespace

// ---- Paths and settings ------------------------------------------------------------------

void SetTessaroExe(const std::wstring& windowsPath) { TessaroExePath() = windowsPath; }
std::wstring TessaroExe() { return TessaroExePath(); }
std::wstring DistDir() { return FolderOf(TessaroExePath()); }

std::wstring DosPath(const std::string& unixPath) {
    // Exported by Wine's kernel32 only; the result is allocated on the process heap.
    using ToDos = WCHAR*(CDECL*)(LPCSTR);
    const FARPROC proc =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name");
    if (!proc) return {};
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(proc));
    WCHAR* dos = toDos(unixPath.c_str());
    if (!dos) return {};
    std::wstring out = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return out;
}

int ExpectedDpi() {
    wchar_t value[16] = {};
    if (GetEnvironmentVariableW(L"TESSARO_E2E_DPI", value, 16) == 0) return 96;
    const int dpi = _wtoi(value);
    return dpi > 0 ? dpi : 96;
}

void PreparePrefix() {
    ScopedHkey txt;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.txt", 0, nullptr, 0, KEY_WRITE,
                        nullptr, txt.Receive(), nullptr) == ERROR_SUCCESS) {
        static const wchar_t kTextFile[] = L"txtfile";
        RegSetValueExW(txt.Get(), L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(kTextFile),
                       sizeof kTextFile);
    }
    ScopedHkey debugger;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_WRITE,
                        nullptr, debugger.Receive(), nullptr) == ERROR_SUCCESS) {
        const DWORD no = 0;
        RegSetValueExW(debugger.Get(), L"ShowCrashDialog", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&no), sizeof no);
    }
}

int SystemDpi() {
    WindowDc screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSX);
}

DistCopy::DistCopy() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    dir_ = std::wstring(temp) + L"tessaro-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
    RemoveTree(dir_);  // a leftover of an earlier, killed run
    if (!CreateDirectoryW(dir_.c_str(), nullptr)) {
        ADD_FAILURE() << "cannot create " << Narrow(dir_) << ": error " << GetLastError();
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((DistDir() + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "nothing to copy in " << Narrow(DistDir());
        return;
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring from = DistDir() + L"\\" + found.cFileName;
        if (!CopyFileW(from.c_str(), File(found.cFileName).c_str(), FALSE)) {
            ADD_FAILURE() << "cannot copy " << Narrow(from) << ": error " << GetLastError();
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

DistCopy::~DistCopy() {
    if (!dir_.empty()) RemoveTree(dir_);
}

std::wstring DistCopy::Exe() const {
    const std::wstring exe = TessaroExe();
    return File(exe.substr(exe.find_last_of(L"\\/") + 1));
}

std::wstring DistCopy::File(const std::wstring& name) const { return dir_ + L"\\" + name; }

bool DistCopy::Remove(const std::wstring& name) const {
    return DeleteFileW(File(name).c_str()) != FALSE;
}

// ---- Processes ---------------------------------------------------------------------------

Program::Program(const std::wstring& exe, const std::wstring& workDir,
                 const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    const std::wstring dir = workDir.empty() ? FolderOf(exe) : workDir;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Wine now and then refuses a start with ERROR_INTERNAL_ERROR while the previous test's
    // process is still being torn down; a moment later the same start works.
    for (int attempt = 0;; ++attempt) {
        if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           dir.empty() ? nullptr : dir.c_str(), &startup, &info)) {
            break;
        }
        error_ = GetLastError();
        if (error_ != ERROR_INTERNAL_ERROR || attempt == 4) return;
        Sleep(200);
    }
    error_ = 0;
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    pid_ = info.dwProcessId;
}

Program::~Program() { Terminate(); }

bool Program::IsRunning() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD timeoutMs) {
    return process_ && WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

std::optional<DWORD> Program::ExitCode() const {
    DWORD code = 0;
    if (IsRunning() || !process_ || !GetExitCodeProcess(process_.Get(), &code)) return {};
    return code;
}

void Program::Terminate() {
    if (!IsRunning()) return;
    TerminateProcess(process_.Get(), 1);
    // Its windows must be gone before the next test looks for windows of its own.
    WaitForSingleObject(process_.Get(), kDefaultTimeoutMs);
}

int CloseWindowsByTitle(const std::wstring& title) {
    int closed = 0;
    for (HWND hwnd : TopLevelWindows(0)) {
        if (Text(hwnd) == title && PostMessageW(hwnd, WM_CLOSE, 0, 0)) ++closed;
    }
    return closed;
}

// ---- Windows -----------------------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() - start >= timeoutMs) return false;
        PumpMessages();
        Sleep(kPollMs);
    }
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    std::vector<HWND> shown;
    for (HWND hwnd : AllTopLevelWindows(pid)) {
        if (IsWindowVisible(hwnd)) shown.push_back(hwnd);
    }
    return shown;
}

HWND WaitForWindow(DWORD pid, const WindowPredicate& matches, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(pid)) {
                if (matches(hwnd)) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND WaitForWindow(DWORD pid, const WindowQuery& query, DWORD timeoutMs) {
    return WaitForWindow(
        pid,
        [&query](HWND hwnd) {
            return (query.className.empty() || ClassName(hwnd) == query.className) &&
                   (query.title.empty() || Text(hwnd) == query.title);
        },
        timeoutMs);
}

bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs) {
    return WaitUntil([hwnd] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text) {
    HWND found = nullptr;
    const Visitor visit = [&](HWND hwnd) {
        if ((className.empty() || ClassName(hwnd) == className) &&
            (text.empty() || Text(hwnd) == text)) {
            found = hwnd;
            return false;
        }
        return true;
    };
    EnumChildWindows(parent, Visit, reinterpret_cast<LPARAM>(&visit));
    return found;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, n > 0 ? n : 0);
}

std::wstring Text(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
        return {};
    }
    text.resize(std::min<size_t>(copied, length));
    return text;
}

LONG_PTR Style(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

RECT WindowRectOnScreen(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT ClientRectOnScreen(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT ChildRectInParentClient(HWND child) {
    RECT r = WindowRectOnScreen(child);
    MapWindowPoints(HWND_DESKTOP, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND FocusOf(DWORD pid) {
    for (DWORD thread : GuiThreadsOf(pid)) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) return info.hwndFocus;
    }
    return nullptr;
}

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    return SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &state) &&
           state == BST_CHECKED;
}

std::optional<MessageBoxInfo> ReadMessageBox(HWND dialog) {
    if (!IsWindow(dialog) || ClassName(dialog) != L"#32770") return {};
    MessageBoxInfo box;
    box.hwnd = dialog;
    box.title = Text(dialog);
    bool haveText = false;
    for (HWND child : Children(dialog)) {
        if (!IsWindowVisible(child)) continue;  // Wine's box hides the buttons it does not use
        const std::wstring cls = ClassName(child);
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            if ((Style(child) & SS_TYPEMASK) == SS_ICON) {
                DWORD_PTR icon = 0;
                if (SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                        &icon) &&
                    icon) {
                    box.hasIcon = true;
                    box.icon = IdentifyIcon(child);
                    box.hasInfoIcon = box.icon == MessageBoxInfo::Icon::kInformation;
                }
            } else if (!haveText) {
                box.text = Text(child);
                haveText = true;
            }
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            box.buttons.push_back(Text(child));
        }
    }
    return box;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
    const HWND dialog = WaitForWindow(pid, WindowQuery{{}, L"#32770"}, timeoutMs);
    if (!dialog) return {};
    return ReadMessageBox(dialog);
}

// ---- Real input through xdotool ----------------------------------------------------------

bool Xdotool(const std::string& args, Where where) {
    // Wine starts Unix programs but gives no handle to wait on, so the shell leaves the exit
    // status in a file, renamed into place so it is never read half written.
    if (XFileStem().empty()) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "no Wine or no /tmp: no xdotool";
        return false;
    }
    static std::atomic<int> counter{0};
    const std::string base = XFileStem() + "-" + std::to_string(++counter);
    const std::string script = "xdotool " + args + " >" + base + ".log 2>&1; echo $? >" + base +
                               ".part; mv " + base + ".part " + base + ".done";
    // Wide, so that UTF-8 in ARGS reaches the shell unchanged whatever the ANSI code page.
    std::wstring commandLine = L"/bin/sh -c " + Widen(QuoteArgument(script));
    const std::wstring done = DosPath(base + ".done");
    const std::wstring log = DosPath(base + ".log");
    DeleteFileW(done.c_str());  // a leftover of a killed run with the same name
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE_AT(where.file_name(), where.line())
            << "cannot start /bin/sh: error " << GetLastError();
        return false;
    }
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);

    const bool finished =
        WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  kDefaultTimeoutMs);
    const std::string status = ReadSmallFile(done);
    const std::string output = ReadSmallFile(log);
    DeleteFileW(done.c_str());
    DeleteFileW(log.c_str());
    if (!finished) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "xdotool " << args << ": no answer";
        return false;
    }
    // xdotool skips a key name it does not know with a warning and still ends with status 0.
    if (status != "0\n" || !output.empty()) {
        ADD_FAILURE_AT(where.file_name(), where.line())
            << "xdotool " << args << ": status " << status << output;
        return false;
    }
    return true;
}

namespace {

bool CheckTarget(HWND target, const std::string& keys, Where where) {
    if (!IsWindow(target)) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "no window to send " << keys << " to";
        return false;
    }
    if (!IsKeyList(keys)) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "not a list of key names: " << keys;
        return false;
    }
    return true;
}

}  // namespace

void XKey(HWND target, const std::string& keys, Where where) {
    if (CheckTarget(target, keys, where)) Xdotool(PointerTo(target) + "key " + keys, where);
}

void XKeyDown(HWND target, const std::string& key, Where where) {
    if (CheckTarget(target, key, where)) Xdotool(PointerTo(target) + "keydown " + key, where);
}

void XKeyUp(HWND target, const std::string& key, Where where) {
    if (CheckTarget(target, key, where)) Xdotool(PointerTo(target) + "keyup " + key, where);
}

void XType(HWND target, const std::string& text, Where where) {
    if (!IsWindow(target)) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "no window to type into";
        return;
    }
    // For a character the keyboard map lacks, xdotool maps a spare key code for a moment; Wine
    // does not follow such changes and the character is lost without a word.
    if (std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; })) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "only ASCII can be typed: " << text;
        return;
    }
    Xdotool(PointerTo(target) + "type -- " + ShellQuote(text), where);
}

void XClick(int screenX, int screenY, int button, Where where) {
    Xdotool("mousemove " + std::to_string(screenX) + " " + std::to_string(screenY) + " click " +
                std::to_string(button),
            where);
}

void XClickWindow(HWND hwnd, int clientX, int clientY, Where where) {
    if (!IsWindow(hwnd)) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "no window to click";
        return;
    }
    POINT p{clientX, clientY};
    ClientToScreen(hwnd, &p);
    XClick(p.x, p.y, 1, where);
}

void XClickCentre(HWND hwnd, Where where) {
    if (!IsWindow(hwnd)) {
        ADD_FAILURE_AT(where.file_name(), where.line()) << "no window to click";
        return;
    }
    const POINT p = CentreOf(ClientRectOnScreen(hwnd));
    XClick(p.x, p.y, 1, where);
}

void XMovePointer(int screenX, int screenY, Where where) {
    Xdotool("mousemove " + std::to_string(screenX) + " " + std::to_string(screenY), where);
}

// ---- Screen ------------------------------------------------------------------------------

Screenshot CaptureScreen() {
    return CaptureRect(
        {0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

Screenshot CaptureRect(const RECT& screenRect) {
    return DrawIntoDib(screenRect.right - screenRect.left, screenRect.bottom - screenRect.top,
                       [&](HDC screen, HDC dc) {
                           return BitBlt(dc, 0, 0, screenRect.right - screenRect.left,
                                         screenRect.bottom - screenRect.top, screen,
                                         screenRect.left, screenRect.top,
                                         SRCCOPY | CAPTUREBLT) != FALSE;
                       });
}

size_t CountDifferences(const Screenshot& a, const Screenshot& b) {
    if (a.width != b.width || a.height != b.height) {
        return std::max(a.pixels.size(), b.pixels.size());
    }
    size_t different = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) different += a.pixels[i] != b.pixels[i];
    return different;
}

size_t CountPixels(const Screenshot& shot, std::uint32_t rgb) {
    return static_cast<size_t>(std::count(shot.pixels.begin(), shot.pixels.end(), rgb));
}

bool SaveBmp(const Screenshot& shot, const std::wstring& path) {
    if (shot.pixels.empty()) return false;
    const DWORD imageBytes = static_cast<DWORD>(shot.pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    BITMAPINFOHEADER header{
        sizeof header, shot.width, -shot.height, 1, 32, BI_RGB, imageBytes, 0, 0, 0, 0};
    ScopedHandle out(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (out.Get() == INVALID_HANDLE_VALUE) {
        out.Release();
        return false;
    }
    DWORD written = 0;
    return WriteFile(out.Get(), &file, sizeof file, &written, nullptr) &&
           WriteFile(out.Get(), &header, sizeof header, &written, nullptr) &&
           WriteFile(out.Get(), shot.pixels.data(), imageBytes, &written, nullptr) &&
           written == imageBytes;
}

// ---- Registry ----------------------------------------------------------------------------

void PrintTo(const RawValue& value, std::ostream* os) {
    *os << "type " << value.type << ", " << value.bytes.size() << " bytes:";
    char hex[4];
    for (size_t i = 0; i < value.bytes.size() && i < 64; ++i) {
        std::snprintf(hex, sizeof hex, " %02x", value.bytes[i]);
        *os << hex;
    }
    if (value.bytes.size() > 64) *os << " ...";
}

namespace {

// One data buffer serves the whole walk: allocating per key makes a snapshot take seconds.
void SnapshotKey(HKEY key, const std::wstring& path, RegistrySnapshot& out, std::vector<BYTE>& data,
                 std::vector<wchar_t>& name) {
    for (DWORD i = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LSTATUS rc =
            RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (rc == ERROR_MORE_DATA && size > data.size()) {
            data.resize(size);
            continue;  // the same value again, now that it fits
        }
        if (rc != ERROR_SUCCESS) break;
        out[path + L"|" + std::wstring(name.data(), nameLength)] = {
            type, {data.begin(), data.begin() + size}};
        ++i;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::wstring child(name.data(), nameLength);
        const std::wstring childPath = path + L"\\" + child;
        out[childPath + L"|<key>"] = {};
        ScopedHkey sub;
        if (RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, sub.Receive()) == ERROR_SUCCESS) {
            SnapshotKey(sub.Get(), childPath, out, data, name);
        }
    }
}

}  // namespace

RegistrySnapshot SnapshotRegistry() {
    RegistrySnapshot all;
    std::vector<BYTE> data(1 << 20);
    std::vector<wchar_t> name(16384);  // the longest value name the registry allows
    SnapshotKey(HKEY_LOCAL_MACHINE, L"HKLM", all, data, name);
    SnapshotKey(HKEY_CURRENT_USER, L"HKCU", all, data, name);
    return all;
}

std::vector<std::wstring> Differences(const RegistrySnapshot& before,
                                      const RegistrySnapshot& after) {
    std::set<std::wstring> changed;
    const auto add = [&changed](std::wstring name) {
        // Wine's own cache of system parameters, not a place Windows has: a mouse click followed
        // by a dialog box creates "...\Control Panel\Mouse" there once per prefix.
        if (name.starts_with(L"HKCU\\Software\\Wine\\Temporary System Parameters\\")) return;
        const std::wstring alias = L"\\Wow6432Node";
        if (const auto at = name.find(alias); at != std::wstring::npos) {
            name.erase(at, alias.size());
        }
        changed.insert(name);
    };
    for (const auto& [name, value] : before) {
        const auto it = after.find(name);
        if (it == after.end() || it->second != value) add(name);
    }
    for (const auto& [name, value] : after) {
        if (!before.count(name)) add(name);
    }
    return {changed.begin(), changed.end()};
}

std::optional<RawValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    ScopedHkey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return {};
    RawValue value;
    for (;;) {
        DWORD size = static_cast<DWORD>(value.bytes.size());
        const LSTATUS rc = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type,
                                            value.bytes.data(), &size);
        if (rc == ERROR_SUCCESS && size <= value.bytes.size()) {
            value.bytes.resize(size);
            return value;
        }
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return {};
        value.bytes.resize(size);  // asked for the size (or it grew meanwhile): again
    }
}

RawValue Dword(DWORD value) {
    return {REG_DWORD,
            {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
             static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)}};
}

}  // namespace e2e

void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "} ("
        << r.right - r.left << " x " << r.bottom - r.top << ")";
}

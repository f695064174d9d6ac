// Drives the real program as a user would: starts it, finds its windows, sends real X input
// through xdotool and looks at the screen and the registry. Runs under Wine inside Xvfb (see
// tests/support/wine-run.sh); every wait polls with a timeout, none relies on a fixed sleep.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <source_location>
#include <string>
#include <vector>

#include "win32/scoped_handles.h"

namespace e2e {

// Long enough for a slow first start of a Wine process, short enough to fail a hung test.
inline constexpr DWORD kDefaultTimeoutMs = 10000;

using Where = std::source_location;

// ---- Paths and settings of this run ------------------------------------------------------

// tessaro.exe as given on the command line (see main.cpp), as a Windows path.
std::wstring TessaroExe();
// The folder holding tessaro.exe and its data files (pellumo.dll, pellumo2.dll, gpl.txt).
std::wstring DistDir();
void SetTessaroExe(const std::wstring& windowsPath);

// The Windows name of a Unix path (Wine's own mapping), or empty outside Wine.
std::wstring DosPath(const std::string& unixPath);

// The DPI this run was prepared with (TESSARO_E2E_DPI, default 96).
int ExpectedDpi();
// What the system reports now (GetDeviceCaps LOGPIXELSX of the screen).
int SystemDpi();

// Makes the run's private prefix behave like Windows where Wine's own setup differs; main()
// calls it before any test. ".txt" gets Notepad: Wine leaves it to a desktop's associations,
// so opening a text file through the shell would fail with SE_ERR_NOASSOC (31). And a crash
// ends the process at once (exit code 0xC0000005 and a backtrace on stderr) instead of leaving
// it hanging behind Wine's "Program Error" box until the test times out.
void PreparePrefix();

// A private copy of the program folder in a fresh temporary folder, removed again at the end,
// so that a test may delete or replace data files without touching other tests.
class DistCopy {
  public:
    DistCopy();
    DistCopy(const DistCopy&) = delete;
    DistCopy& operator=(const DistCopy&) = delete;
    ~DistCopy();

    const std::wstring& Dir() const { return dir_; }
    std::wstring Exe() const;
    std::wstring File(const std::wstring& name) const;
    bool Remove(const std::wstring& name) const;

  private:
    std::wstring dir_;
};

// ---- Processes ---------------------------------------------------------------------------

class Program {
  public:
    // The working directory defaults to the folder of the program, as when started from
    // Explorer. Check Started() (or Pid() != 0) before relying on it.
    explicit Program(const std::wstring& exe, const std::wstring& workDir = {},
                     const std::wstring& arguments = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    // Terminates the process if it is still running and waits for it to go.
    ~Program();

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Error() const { return error_; }  // GetLastError of a failed start
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_.Get(); }
    bool IsRunning() const;
    bool WaitForExit(DWORD timeoutMs = kDefaultTimeoutMs);
    // Empty while the process runs (or never started).
    std::optional<DWORD> ExitCode() const;
    void Terminate();

  private:
    win32::ScopedHandle process_;
    DWORD pid_ = 0;
    DWORD error_ = 0;
};

// Posts WM_CLOSE to every visible top-level window with exactly this title, whatever process
// owns it (a Notepad started through the shell is not the program's child). Returns how many.
int CloseWindowsByTitle(const std::wstring& title);

// ---- Windows -----------------------------------------------------------------------------

// Polls `done` (pumping this thread's messages meanwhile) until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kDefaultTimeoutMs);

using WindowPredicate = std::function<bool(HWND)>;

// Empty fields match anything; both are compared exactly.
struct WindowQuery {
    std::wstring title;
    std::wstring className;
};

// As a pid: windows of every process (a Notepad opened through the shell, say). A Program that
// failed to start has pid 0 as well, so check Started() before waiting for its windows.
inline constexpr DWORD kAnyProcess = 0;

// Visible top-level windows of a process (pid 0: of any process), topmost first.
std::vector<HWND> TopLevelWindows(DWORD pid);
// The first visible top-level window of the process (pid 0: any) that matches; null on timeout.
HWND WaitForWindow(DWORD pid, const WindowPredicate& matches, DWORD timeoutMs = kDefaultTimeoutMs);
HWND WaitForWindow(DWORD pid, const WindowQuery& query, DWORD timeoutMs = kDefaultTimeoutMs);
// Gone means destroyed or hidden: either way the user no longer sees it.
bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs = kDefaultTimeoutMs);

// Direct children, in Z order (the order of creation unless the program reorders them, which
// is also the tab order).
std::vector<HWND> Children(HWND parent);
// The first descendant with this class and text (either empty: any); null if none.
HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text = {});

std::wstring ClassName(HWND hwnd);
// WM_GETTEXT through SendMessageTimeout, so a hung program fails the test instead of hanging it.
std::wstring Text(HWND hwnd);
LONG_PTR Style(HWND hwnd);
RECT WindowRectOnScreen(HWND hwnd);
RECT ClientRectOnScreen(HWND hwnd);
// In pixels, relative to the top-left corner of the parent's client area.
RECT ChildRectInParentClient(HWND child);
// The window with keyboard focus in the process's GUI thread(s); null if none.
HWND FocusOf(DWORD pid);
bool IsChecked(HWND button);  // BM_GETCHECK == BST_CHECKED

// A message box (a dialog of class #32770) as the user reads it.
struct MessageBoxInfo {
    // Which stock icon it shows, told apart by its pixels on screen.
    enum class Icon { kNone, kInformation, kWarning, kError, kQuestion, kOther };

    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;         // the static that is not an icon
    bool hasIcon = false;      // an SS_ICON static holding an icon
    bool hasInfoIcon = false;  // ...and on screen it looks exactly like IDI_INFORMATION
    Icon icon = Icon::kNone;
    std::vector<std::wstring> buttons;  // visible buttons' texts, in tab order
};
std::optional<MessageBoxInfo> ReadMessageBox(HWND dialog);
// The first message box of the process (pid 0: any) to show up; its controls exist by the time
// it is visible, so it is read at once (the icon may take up to a second to be told apart).
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Real input through xdotool ----------------------------------------------------------
// Each call returns once xdotool has finished; a failure or time-out is reported as a test
// failure at the caller's line. Key names are X keysyms as xdotool takes them ("alt+o",
// "Return", "space", "Escape", "Tab shift+Tab").
// Keys reach Wine's active window, wherever the pointer is: with unmanaged X windows Wine gives
// the X focus to the window it activates. The key functions still move the pointer over the
// target first (X sends keys to the window under the pointer while no window holds the focus),
// but `target` does not choose the receiver: click a window to make it the active one.

// Runs `xdotool ARGS` and reports whether it finished with status 0 in time.
// ARGS goes into a shell command line as it is. Output on stderr counts as failure too.
bool Xdotool(const std::string& args, Where where = Where::current());
void XKey(HWND target, const std::string& keys, Where where = Where::current());
void XKeyDown(HWND target, const std::string& key, Where where = Where::current());
void XKeyUp(HWND target, const std::string& key, Where where = Where::current());
// Types ASCII text (quotes and backslashes included) into the focused control of the active
// window; other characters fail the test, as Wine would drop them.
void XType(HWND target, const std::string& text, Where where = Where::current());
void XClick(int screenX, int screenY, int button = 1, Where where = Where::current());
void XClickWindow(HWND hwnd, int clientX, int clientY, Where where = Where::current());
// A click in the middle of the window (a button, a label, a picture).
void XClickCentre(HWND hwnd, Where where = Where::current());
void XMovePointer(int screenX, int screenY, Where where = Where::current());

// ---- Screen ------------------------------------------------------------------------------

// 0x00RRGGBB per pixel, rows top to bottom.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Screenshot CaptureScreen();
Screenshot CaptureRect(const RECT& screenRect);
inline std::uint32_t Rgb(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}
// Pixels that differ; every pixel counts when the sizes differ.
size_t CountDifferences(const Screenshot& a, const Screenshot& b);
size_t CountPixels(const Screenshot& shot, std::uint32_t rgb);
bool SaveBmp(const Screenshot& shot, const std::wstring& path);

// ---- Registry ----------------------------------------------------------------------------

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool operator==(const RawValue&) const = default;
};
void PrintTo(const RawValue& value, std::ostream* os);

// Keys as "HKLM\path|name" for values and "HKLM\path|<key>" for keys, of HKLM and HKCU.
using RegistrySnapshot = std::map<std::wstring, RawValue>;
RegistrySnapshot SnapshotRegistry();
// Entries added, removed or changed, sorted; "\Wow6432Node" is taken out of the names because
// Wine shows the policy keys in both views, so one write would otherwise count twice. Changes
// under HKCU\Software\Wine\Temporary System Parameters (Wine's bookkeeping) are left out.
std::vector<std::wstring> Differences(const RegistrySnapshot& before,
                                      const RegistrySnapshot& after);
// Empty when the key or the value does not exist.
std::optional<RawValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name);
RawValue Dword(DWORD value);

}  // namespace e2e

// Rectangles compared and printed in test expectations; RECT lives in the global namespace, so
// that is where argument-dependent lookup finds these.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const RECT& r, std::ostream* os);

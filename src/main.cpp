#include <windows.h>

#include <Form1/Form1.h>
#include <frmAbout/frmAbout.h>
#include <frmGraphics/frmGraphics.h>
#include <policy/change_event.h>
#include <policy/command_line.h>
#include <program_start.h>
#include <switches.h>
#include <win32/app.h>
#include <win32/elevation.h>
#include <win32/event_log.h>
#include <win32/policy_files.h>
#include <win32/message_loop.h>
#include <win32/win32_registry.h>

namespace {

// The program's window references: its only global state, and only this file sees it. An empty
// reference is filled with a new window object when it is needed.
struct WindowReferences {
    win32::FormPtr<tessaro::Form1> Form1;
    win32::FormPtr<tessaro::frmAbout> frmAbout;
    win32::FormPtr<tessaro::frmGraphics> frmGraphics;
};
WindowReferences g_windows;
win32::Win32Registry g_registry;   // stateless: every call goes straight to Windows
win32::PolicyFiles g_policyFiles;  // stateless too
win32::EventLog g_events;
policy::EventChangeLog g_changeLog(g_events);  // the record of the window's own changes

// Shows the desktop effect modally; the window lets go of its reference when the effect ends.
void RunEffect() {
    g_windows.frmGraphics =
        win32::MakeForm<tessaro::frmGraphics>(0, [] { g_windows.frmGraphics.reset(); });
    g_windows.frmGraphics->Show(1);
}

// Shows the information window modally; the same object is loaded afresh each time.
void ShowInfo() {
    if (!g_windows.frmAbout) {
        g_windows.frmAbout =
            win32::MakeForm<tessaro::frmAbout>(g_windows.Form1->Caption(), &RunEffect);
    }
    g_windows.frmAbout->Show(1);
}

}  // namespace

// With a switch the program does that one thing and says so in its lines and exit code; without one
// it starts with its main window and ends when its last window is gone.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    bool raised = false;
    if (const auto command = policy::ParseCommandLine(tessaro::StartUp(), &raised);
        command != policy::Command::kWindow) {
        return tessaro::RunSwitch(
            command, raised ? policy::Via::kRaisedFromWindow : policy::Via::kCommandLine,
            "tessaro.exe");
    }
    const win32::ComApartment com;
    g_windows.Form1 = win32::MakeForm<tessaro::Form1>(g_registry, g_policyFiles, g_changeLog,
                                                      &ShowInfo, win32::IsElevated());
    win32::RunHandler([] { g_windows.Form1->Show(); });
    if (!g_windows.Form1->IsLoaded()) return 1;  // Windows would not make the window
    return win32::RunMessageLoop();
}

// The program's entry point (set in src/CMakeLists.txt): the process is made ready before the C
// runtime and anything protected runs.
extern "C" int WinMainCRTStartup();
TESSARO_ENTRY int TessaroStart() {
    tessaro::PrepareProcess();
    return WinMainCRTStartup();
}

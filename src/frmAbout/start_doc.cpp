#include <frmAbout/start_doc.h>

#include <windows.h>
#include <shellapi.h>

#include <frmAbout/shell_errors.h>
#include <win32/app.h>
#include <win32/system_library.h>

namespace about {

std::int32_t StartDoc(const std::wstring& DocName) {
    // The desktop, not the About window, owns whatever the shell shows, so a viewer or a
    // prompt does not go away with our window. The working directory is fixed on purpose,
    // whatever folder the document lies in.
    // Kept loaded: the shell may go on working for the viewer it starts after the call returns.
    static const win32::SystemLibrary shell32(L"shell32.dll");
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    const auto shellExecute = shell32.Function<ShellExecuteFn>("ShellExecuteW");
    if (!shellExecute) return SE_ERR_DLLNOTFOUND;
    const HINSTANCE result =
        shellExecute(GetDesktopWindow(), L"Open", DocName.c_str(), L"", L"C:\\", SW_SHOWNORMAL);
    return ShellResultCode(reinterpret_cast<std::intptr_t>(result));
}

void ReportShellResult(std::int32_t code) {
    const auto text = ShellFailureText(code);
    if (!text) return;
    // The texts are plain ASCII.
    win32::MsgBox(std::wstring(text->begin(), text->end()), MB_OK);
}

}  // namespace about

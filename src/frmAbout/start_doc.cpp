#include "frmAbout/start_doc.h"

#include <windows.h>
#include <shellapi.h>

#include "frmAbout/shell_errors.h"
#include "platform/app.h"

namespace frmAbout {

std::int32_t StartDoc(const std::wstring& DocName) {
    // The desktop, not the About window, owns whatever the shell shows, so a viewer or a
    // prompt does not go away with our window. The working directory is fixed on purpose,
    // whatever folder the document lies in.
    const HINSTANCE result =
        ShellExecuteW(GetDesktopWindow(), L"Open", DocName.c_str(), L"", L"C:\\", SW_SHOWNORMAL);
    return ShellResultCode(reinterpret_cast<std::intptr_t>(result));
}

void ReportShellResult(std::int32_t code) {
    const auto text = ShellFailureText(code);
    if (!text) return;
    // The texts are plain ASCII.
    platform::MsgBox(std::wstring(text->begin(), text->end()), MB_OK);
}

}  // namespace frmAbout

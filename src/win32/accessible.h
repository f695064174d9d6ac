// What a screen reader is told about a window or a control (MSAA, which UI Automation bridges).
// Windows describes standard controls itself, but a label that acts as a link, an invisible spot
// that plays a sound or a window without a caption need their own words: the window answers
// WM_GETOBJECT with Windows' own object for it, changed where these say otherwise.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace win32 {

struct AccessibleInfo {
    std::wstring name;  // empty: Windows' own (the window text without its '&')
    long role = 0;      // ROLE_SYSTEM_*; 0: Windows' own
    std::wstring description;
    // Not empty: what the default action is called; doing it posts kDefaultActionMessage to the
    // window, whose own click then runs as its next message.
    std::wstring defaultAction;
    long state = 0;  // STATE_SYSTEM_* added to Windows' own
};

inline constexpr UINT kDefaultActionMessage = WM_APP + 0x3A11;

// Whether a window can act now: it and its top-level window are enabled. A modal window or a
// raised write disables the window behind, not each of its controls.
inline bool TakesInput(HWND hwnd) {
    return IsWindowEnabled(hwnd) && IsWindowEnabled(GetAncestor(hwnd, GA_ROOT));
}

// The answer to WM_GETOBJECT for hwnd: an object for OBJID_CLIENT (and, with window, for
// OBJID_WINDOW too); 0 for any other, which lets Windows answer.
LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const AccessibleInfo& info,
                        bool window = false);

// Makes hwnd a polite live region: a screen reader reads its new text when told, after what it
// is saying. Needs COM on the thread.
void MarkPoliteLiveRegion(HWND hwnd);
// Tells a screen reader that the text of a live region has changed.
void AnnounceLiveRegion(HWND hwnd);

}  // namespace win32

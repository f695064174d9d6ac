// A yardstick for start-up time: Tessaro's main window as a skilled Win32 programmer would write
// it with nothing else around it. The same kind of window: a window of a dialog class (the dialog
// manager's procedure, DLGWINDOWEXTRA) with the same styles, owned by a hidden window as Tessaro's
// windows are, its icon set the same way; the same manifest (Common Controls 6, per-monitor DPI);
// the same six controls at the same places in Tahoma 8.25 pt, the last showing the policy value.
// What Tessaro takes beyond this is the cost of its own machinery.
#include <windows.h>

namespace {

enum { kOk = IDOK, kInfo = 100, kDisable, kRestore, kRecommended, kNow };

LRESULT CALLBACK DialogProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND && (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)) DestroyWindow(h);
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefDlgProcW(h, m, w, l);
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y,
           int w, int h, HFONT font) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DialogProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"MinimalDialog";
    RegisterClassW(&wc);

    // The owner keeps the dialog off the taskbar's own entry and holds message boxes.
    WNDCLASSW oc{};
    oc.lpfnWndProc = DefWindowProcW;
    oc.hInstance = instance;
    oc.lpszClassName = L"MinimalOwner";
    RegisterClassW(&oc);
    const HWND owner = CreateWindowExW(0, oc.lpszClassName, L"Minimal dialog", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, instance, nullptr);

    // Pixels at 96 dpi, where the bench runs: a client area of 348 x 160.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r{0, 0, 348, 160};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    HWND dlg = CreateWindowExW(exStyle, wc.lpszClassName, L"Minimal dialog", style, CW_USEDEFAULT,
                               CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, owner, nullptr,
                               instance, nullptr);
    const auto icon = [instance](int size) {
        return reinterpret_cast<LPARAM>(
            LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED));
    };
    SendMessageW(dlg, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
    SendMessageW(dlg, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
    const auto tahoma = [](int weight) {
        return CreateFontW(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                           L"Tahoma");
    };
    HFONT regular = tahoma(FW_NORMAL), bold = tahoma(FW_BOLD);
    // Created in tab order.
    const DWORD push = WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
    const DWORD radio = WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE;
    Child(dlg, L"BUTTON", L"&Ok", push, kOk, 196, 128, 69, 25, regular);
    Child(dlg, L"BUTTON",
          L"Disable Autorun on all drives type (CD-ROM, DVD, USB Pendrive, network drive, RAM "
          L"drive)",
          radio | WS_GROUP, kDisable, 24, 24, 297, 25, regular);
    Child(dlg, L"BUTTON", L"Restore default", radio, kRestore, 24, 96, 217, 21, regular);
    Child(dlg, L"BUTTON", L"&Info...", push, kInfo, 272, 128, 69, 25, regular);
    Child(dlg, L"STATIC", L"(Recommended)", WS_GROUP | SS_LEFT, kRecommended, 40, 56, 145, 13,
          bold);
    // What the machine holds now, read as Tessaro reads it before its window shows.
    DWORD value = 0, size = sizeof value;
    const LONG read = RegGetValueW(
        HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
        L"NoDriveTypeAutoRun", RRF_RT_REG_DWORD, nullptr, &value, &size);
    Child(dlg, L"STATIC",
          read == ERROR_FILE_NOT_FOUND            ? L"Now: Windows default."
          : read == ERROR_SUCCESS && value == 255 ? L"Now: AutoRun is off on all drives."
                                                  : L"Now: another setting.",
          SS_LEFT, kNow, 24, 128, 164, 25, regular);
    CheckRadioButton(dlg, kDisable, kRestore, kDisable);
    ShowWindow(dlg, show);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

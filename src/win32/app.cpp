#include <win32/app.h>

#include <objbase.h>

#include <exception>

#include <win32/dpi.h>
#include <portable/runtime_error.h>
#include <win32/system_library.h>
#include <win32/text.h>

namespace win32 {

namespace {

[[noreturn]] void ReportAndEnd(const std::wstring& text) {
    MessageBoxW(GetActiveWindow(), text.c_str(), kProductTitle, MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

}  // namespace

std::wstring ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

std::wstring AppPath() {
    const std::wstring path = ExePath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

int MsgBox(const std::wstring& text, UINT style) {
    HWND owner = GetActiveWindow();
    if (!owner) owner = HiddenOwner();
    return MessageBoxW(owner, text.c_str(), kProductTitle, style | MB_OK);
}

void EndProcess() { ExitProcess(0); }

void ReportCurrentError() {
    try {
        throw;
    } catch (const portable::RuntimeError& e) {
        ReportAndEnd(L"Run-time error '" + std::to_wstring(static_cast<int>(e.Number())) +
                     L"':\n\n" + Wide(e.what()));
    } catch (const std::exception& e) {
        ReportAndEnd(L"Run-time error:\n\n" + Wide(e.what()));
    } catch (...) {
        ReportAndEnd(L"Run-time error.");
    }
}

HWND HiddenOwner() {
    static HWND owner = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessaroOwner";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, kProductTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, wc.hInstance, nullptr);
    }();
    return owner;
}

ComApartment::ComApartment() : ole32_(L"ole32.dll") {
    using Init = HRESULT(WINAPI*)(void*, DWORD);
    const auto init = ole32_.Function<Init>("CoInitializeEx");
    uninitialize_ = ole32_.Function<void(WINAPI*)()>("CoUninitialize");
    if (!init || !uninitialize_ ||
        FAILED(init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        uninitialize_ = nullptr;
    }
}

ComApartment::~ComApartment() {
    if (uninitialize_) uninitialize_();
}

const SystemLibrary& CommonControls() {
    static const SystemLibrary comctl32(L"comctl32.dll");
    return comctl32;
}

BOOL InitCommonControlsFromSystem(DWORD size, DWORD classes) {
    struct Record {
        DWORD size;
        DWORD classes;
    };
    const auto init =
        CommonControls().Function<BOOL(WINAPI*)(const Record*)>("InitCommonControlsEx");
    const Record record{size, classes};
    return init ? init(&record) : FALSE;
}

float TwipsPerPixelX() { return 1440.0f / static_cast<float>(SystemDpi()); }
float TwipsPerPixelY() { return 1440.0f / static_cast<float>(SystemDpi()); }
float ScreenWidthTwips() {
    return static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX();
}
float ScreenHeightTwips() {
    return static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY();
}

}  // namespace win32

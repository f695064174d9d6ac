#include "win32/form.h"

#include <algorithm>

#include "win32/app.h"
#include "win32/dpi.h"

namespace win32 {

namespace {

constexpr wchar_t kClassName[] = L"TessaroForm";
constexpr UINT kActivateMessage = WM_APP + 1;
constexpr int kFirstControlId = 100;
int g_loadedForms = 0;

void RegisterFormClass(WNDPROC proc) {
    static const ATOM atom = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
}

DWORD StyleFor(BorderStyle border) {
    return border == BorderStyle::kNone ? WS_POPUP
                                        : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
}
DWORD ExStyleFor(BorderStyle border) {
    return WS_EX_CONTROLPARENT | (border == BorderStyle::kNone ? 0 : WS_EX_DLGMODALFRAME);
}

bool IsProgramWindow(HWND hwnd) {
    return hwnd && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

std::int16_t ShiftState() {
    std::int16_t shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

struct DisableRequest {
    HWND keep;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOther(HWND w, LPARAM p) {
    auto* request = reinterpret_cast<DisableRequest*>(p);
    if (w != request->keep && IsWindowVisible(w) && IsWindowEnabled(w)) {
        EnableWindow(w, FALSE);
        request->disabled->push_back(w);
    }
    return TRUE;
}

}  // namespace

Form::Form(FormDesign design) : design_(std::move(design)) {}

Form::~Form() {
    if (hwnd_) DestroyWindow(hwnd_);
}

Form* Form::FromHwnd(HWND hwnd) {
    if (!hwnd) return nullptr;
    wchar_t name[32];
    if (!GetClassNameW(hwnd, name, 32) || lstrcmpW(name, kClassName) != 0) return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

std::wstring Form::Caption() const {
    if (!hwnd_) return design_.caption;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

COLORREF Form::BackColor() const {
    return design_.backColor ? *design_.backColor : GetSysColor(COLOR_BTNFACE);
}

HFONT Form::Font(FontKind kind) const {
    return static_cast<HFONT>(fonts_[static_cast<int>(kind)].Get());
}

RECT Form::OuterRectFor(int dpi) const {
    RECT rect{0, 0, MulDiv(design_.clientWidth, dpi, 1440),
              MulDiv(design_.clientHeight, dpi, 1440)};
    AdjustForDpi(&rect, StyleFor(design_.border), ExStyleFor(design_.border), dpi);
    return rect;
}

void Form::Load() {
    if (hwnd_) return;
    RegisterFormClass(&Form::WindowProc);
    dpi_ = SystemDpi();
    const RECT outer = OuterRectFor(dpi_);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (design_.position) {
        // The stored place is the client area's corner; the frame goes around it.
        x = MulDiv(design_.position->x, dpi_, 1440) + outer.left;
        y = MulDiv(design_.position->y, dpi_, 1440) + outer.top;
    }
    CreateWindowExW(ExStyleFor(design_.border), kClassName, design_.caption.c_str(),
                    StyleFor(design_.border), x, y, outer.right - outer.left,
                    outer.bottom - outer.top, HiddenOwner(), nullptr, GetModuleHandleW(nullptr),
                    this);
    if (!hwnd_) return;
    ++g_loadedForms;
    selfWhileLoaded_ = shared_from_this();

    if (design_.iconId) {
        const HINSTANCE module = GetModuleHandleW(nullptr);
        const auto icon = [&](int size) {
            return reinterpret_cast<LPARAM>(LoadImageW(module, MAKEINTRESOURCEW(design_.iconId),
                                                       IMAGE_ICON, size, size, LR_SHARED));
        };
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
    }

    // A window on a monitor with another density than the system's is sized for its own.
    const int windowDpi = DpiOf(hwnd_);
    if (windowDpi != dpi_) {
        dpi_ = windowDpi;
        const RECT r = OuterRectFor(dpi_);
        SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CreateFonts();
    CreateControls();

    std::vector<Control*> order;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        controls_[i]->Create(*this, kFirstControlId + static_cast<int>(i));
        order.push_back(controls_[i].get());
    }
    // Tab order is Z order: controls by tab index, those without one (pictures) at the bottom.
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        const auto key = [](const Control* c) {
            return c->TabIndex() < 0 ? 1 << 20 : c->TabIndex();
        };
        return key(a) < key(b);
    });
    HWND previous = HWND_TOP;
    bool previousWasOption = false;
    for (Control* c : order) {
        const bool isOption = dynamic_cast<OptionButton*>(c) != nullptr;
        LONG_PTR style = GetWindowLongPtrW(c->hWnd(), GWL_STYLE);
        style = (isOption && previousWasOption) ? style & ~WS_GROUP : style | WS_GROUP;
        SetWindowLongPtrW(c->hWnd(), GWL_STYLE, style);
        SetWindowPos(c->hWnd(), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = c->hWnd();
        previousWasOption = isOption;
    }
    LayoutControls();
    Form_Load();
}

void Form::CreateFonts() {
    const auto make = [this](int weight, bool underline) {
        return ScopedGdiObject(CreateFontW(-MulDiv(825, dpi_, 7200), 0, 0, 0, weight, FALSE,
                                           underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    };
    fonts_[static_cast<int>(FontKind::kRegular)] = make(FW_NORMAL, false);
    fonts_[static_cast<int>(FontKind::kBold)] = make(FW_BOLD, false);
    fonts_[static_cast<int>(FontKind::kUnderline)] = make(FW_NORMAL, true);
    backBrush_ = ScopedGdiObject(CreateSolidBrush(BackColor()));
}

void Form::LayoutControls() {
    for (auto& c : controls_) c->Layout(*this);
}

void Form::Move(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, ToPixels(leftTwips), ToPixels(topTwips), ToPixels(widthTwips),
                 ToPixels(heightTwips), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(int modal) {
    Load();
    if (!hwnd_) return;
    auto self = shared_from_this();  // the window may unload itself while we wait
    activatedSinceShow_ = false;
    if (modal) {
        HWND active = GetActiveWindow();
        if (IsProgramWindow(active) && active != hwnd_) {
            // Owned by the window it interrupts, so it stays above it.
            SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(active));
        }
        DisableRequest request{hwnd_, &disabledByModal_};
        EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&request));
        modal_ = true;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (!modal) return;

    MSG msg;
    while (hwnd_ && IsWindowVisible(hwnd_)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchOne(msg);
    }
    EnableOthers();
    modal_ = false;
}

void Form::EnableOthers() {
    // Before this window goes, so that activation returns to the window it interrupted.
    for (HWND w : disabledByModal_) {
        if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    disabledByModal_.clear();
}

void Form::Unload() {
    if (!hwnd_) return;
    EnableOthers();
    DestroyWindow(hwnd_);
}

Control* Form::ControlOf(HWND child) const {
    for (const auto& c : controls_) {
        if (c->hWnd() == child) return c.get();
    }
    return nullptr;
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        // Bound here so that every later message, WM_CREATE included, reaches the object.
        auto* created =
            static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    Form* form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return form->HandleMessage(msg, wParam, lParam);
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    if (auto handled = OnMessage(msg, wParam, lParam)) return *handled;
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wParam), &rc, static_cast<HBRUSH>(backBrush_.Get()));
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (Control* c = ControlOf(reinterpret_cast<HWND>(lParam))) {
                if (auto brush = c->OnColor(*this, dc)) return reinterpret_cast<LRESULT>(*brush);
            }
            SetBkColor(dc, BackColor());
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<LRESULT>(backBrush_.Get());
        }
        case WM_SETCURSOR:
            if (Control* c = ControlOf(reinterpret_cast<HWND>(wParam))) {
                if (c->Cursor() && LOWORD(lParam) == HTCLIENT) {
                    SetCursor(c->Cursor());
                    return TRUE;
                }
            }
            break;
        case WM_COMMAND:
            if (Control* c = ControlOf(reinterpret_cast<HWND>(lParam))) {
                RunHandler([&] { c->OnNotify(HIWORD(wParam)); });
            }
            return 0;  // IDOK and IDCANCEL from the dialog manager mean nothing here
        case DM_GETDEFID: {
            // Enter presses the focused push button; there is no default button otherwise.
            Control* c = ControlOf(GetFocus());
            if (c && dynamic_cast<Button*>(c)) {
                return MAKELRESULT(GetDlgCtrlID(c->hWnd()), DC_HASDEFID);
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                const HWND previous = reinterpret_cast<HWND>(lParam);
                if (!activatedSinceShow_ || IsProgramWindow(previous)) {
                    activatedSinceShow_ = true;
                    // Posted: it runs after the activation is complete and before any painting.
                    PostMessageW(hwnd, kActivateMessage, 0, 0);
                }
                // Back to the control that had the focus when the window was left, as in a
                // dialog; the first in the tab order the first time.
                HWND target = IsWindow(lastFocus_) && IsChild(hwnd, lastFocus_)
                                  ? lastFocus_
                                  : GetNextDlgTabItem(hwnd, nullptr, FALSE);
                SetFocus(target ? target : hwnd);
                return 0;
            }
            if (HWND focus = GetFocus(); focus && IsChild(hwnd, focus)) lastFocus_ = focus;
            break;
        case kActivateMessage:
            RunHandler([this] { Form_Activate(); });
            return 0;
        case WM_LBUTTONUP:
            RunHandler([this] { Form_Click(); });
            return 0;
        case WM_CHAR: {
            auto keyAscii = static_cast<std::int16_t>(wParam);
            RunHandler([&] { Form_KeyPress(keyAscii); });
            return 0;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            const auto keyCode = static_cast<std::int16_t>(wParam);
            RunHandler([&] { Form_KeyUp(keyCode, ShiftState()); });
            if (msg == WM_KEYUP) return 0;
            break;
        }
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            CreateFonts();
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            LayoutControls();
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_NCDESTROY: {
            for (auto& c : controls_) c->Destroyed();
            controls_.clear();
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            if (--g_loadedForms == 0) PostQuitMessage(0);
            // The last thing touching this object: it may be its final reference.
            auto keep = std::move(selfWhileLoaded_);
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace win32

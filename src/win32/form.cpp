#include "win32/form.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/app.h"
#include "win32/dpi.h"

namespace win32 {

namespace {

constexpr wchar_t kDialogClass[] = L"TessaroDialog";
constexpr wchar_t kWindowClass[] = L"TessaroWindow";
constexpr UINT kActivateMessage = WM_APP + 1;
constexpr int kFirstControlId = 100;

bool RegisterClasses(WNDPROC proc) {
    for (const bool dialog : {true, false}) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.cbWndExtra = dialog ? DLGWINDOWEXTRA : 0;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = dialog ? kDialogClass : kWindowClass;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    }
    return true;
}

bool HasClass(HWND hwnd, const wchar_t* name) {
    wchar_t actual[32];
    return hwnd && GetClassNameW(hwnd, actual, 32) && lstrcmpW(actual, name) == 0;
}

bool IsDialogWindow(HWND hwnd) { return HasClass(hwnd, kDialogClass); }

// Keyboard navigation (Tab, access keys) for the window the message is meant for; then the usual
// translate and dispatch.
void DispatchOne(MSG& msg) {
    if (msg.hwnd) {
        const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (IsDialogWindow(root) && IsDialogMessageW(root, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

// comctl32's subclassing, which chains procedures safely where SetWindowLongPtr would not.
struct Subclassing {
    decltype(&SetWindowSubclass) set;
    decltype(&RemoveWindowSubclass) remove;
    decltype(&DefSubclassProc) next;
};
const Subclassing& CommonSubclassing() {
    static const Subclassing functions{
        CommonControls().Function<decltype(&SetWindowSubclass)>("SetWindowSubclass"),
        CommonControls().Function<decltype(&RemoveWindowSubclass)>("RemoveWindowSubclass"),
        CommonControls().Function<decltype(&DefSubclassProc)>("DefSubclassProc")};
    return functions;
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

struct WindowSearch {
    HWND skip;
    std::vector<HWND>* found;  // null: stop at the first other window of the program
    bool any = false;
};

BOOL CALLBACK DisableOther(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<WindowSearch*>(p);
    if (w != search->skip && IsWindowVisible(w) && IsWindowEnabled(w)) {
        EnableWindow(w, FALSE);
        search->found->push_back(w);
    }
    return TRUE;
}

BOOL CALLBACK FindOtherForm(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<WindowSearch*>(p);
    search->any = w != search->skip && (HasClass(w, kDialogClass) || HasClass(w, kWindowClass));
    return !search->any;
}

}  // namespace

// Marks the object as running for the length of a scope; the last one out finishes what the
// window's end and a release left for it.
class Form::InUse {
  public:
    explicit InUse(Form& form) : form_(form) { ++form_.depth_; }
    InUse(const InUse&) = delete;
    InUse& operator=(const InUse&) = delete;
    ~InUse() {
        if (--form_.depth_ == 0) form_.OnFinalMessage();
    }

  private:
    Form& form_;
};

Form::Form(FormDesign design) : design_(std::move(design)) {}

std::wstring Form::Caption() const {
    if (!hwnd_) return design_.caption;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool Form::Load() {
    if (hwnd_) return true;
    if (depth_ > 0) return false;
    static const bool registered = RegisterClasses(&Form::WindowProc);
    if (!registered) return false;
    ApplyDpi(SystemDpi());
    // Created at the system's density; Place corrects a window that lands on another monitor.
    const RECT r = Frame();
    const bool placed = design_.position.has_value();
    CreateWindowExW(ExStyleFor(design_.border), design_.dialog ? kDialogClass : kWindowClass,
                    design_.caption.c_str(), StyleFor(design_.border),
                    placed ? r.left : CW_USEDEFAULT, placed ? r.top : CW_USEDEFAULT,
                    r.right - r.left, r.bottom - r.top, HiddenOwner(), nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;

    if (design_.iconId) {
        const HINSTANCE module = GetModuleHandleW(nullptr);
        const auto icon = [&](int size) {
            return reinterpret_cast<LPARAM>(LoadImageW(module, MAKEINTRESOURCEW(design_.iconId),
                                                       IMAGE_ICON, size, size, LR_SHARED));
        };
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
    }
    if (const int dpi = DpiOf(hwnd_); dpi != dpi_) ApplyDpi(dpi);
    if (design_.position || DpiOf(hwnd_) != SystemDpi()) Place();

    CreateControls();
    // In creation order, which is the tab order: consecutive option buttons form one group.
    int id = kFirstControlId;
    bool previousWasOption = false;
    for (auto& c : controls_) {
        const bool option = dynamic_cast<OptionButton*>(c.get()) != nullptr;
        c->Create(*this, id++, option && previousWasOption ? 0 : WS_GROUP);
        previousWasOption = option;
        if (c->hWnd() && CommonSubclassing().set) {
            CommonSubclassing().set(c->hWnd(), &Form::ControlProc,
                                    reinterpret_cast<UINT_PTR>(c.get()),
                                    reinterpret_cast<DWORD_PTR>(this));
        }
    }
    if (design_.dialog) {
        // As the dialog manager starts its own dialogs: focus rectangles and access keys shown
        // when the keyboard brought the window up, hidden after the mouse until a key is used.
        SendMessageW(hwnd_, WM_CHANGEUISTATE,
                     MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    }
    Form_Load();
    return hwnd_ != nullptr;
}

void Form::ApplyDpi(int dpi) {
    dpi_ = dpi;
    const auto make = [dpi](int weight, bool underline) {
        return ScopedGdiObject(CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, weight, FALSE,
                                           underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    };
    fonts_ = {make(FW_NORMAL, false), make(FW_BOLD, false), make(FW_NORMAL, true)};
}

COLORREF Form::PaintedBackColor() const {
    // The effect window is a picture of the screen, not a dialog: it keeps its own colour.
    return Painted(BackColor(), Paint::kBackground, design_.dialog && HighContrast());
}

void Form::ColorsChanged(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Common controls learn of new system colours only from their window.
    if (msg == WM_SYSCOLORCHANGE) {
        for (auto& c : controls_) {
            if (c->hWnd()) SendMessageW(c->hWnd(), msg, wParam, lParam);
        }
    }
    // Brushes follow the colours they are asked for as everything paints again.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

RECT Form::Frame() const {
    RECT r{0, 0, ToPixels(design_.clientWidth), ToPixels(design_.clientHeight)};
    AdjustForDpi(&r, StyleFor(design_.border), ExStyleFor(design_.border), dpi_);
    // The stored place is the client area's corner; the frame goes around it.
    if (const auto& at = design_.position) OffsetRect(&r, ToPixels(at->x), ToPixels(at->y));
    return r;
}

void Form::Place() {
    RECT now{}, r = Frame();
    GetWindowRect(hwnd_, &now);
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    if (!design_.position) {
        OffsetRect(&r, now.left - r.left, now.top - r.top);
    } else if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) {
        // A window with a fixed place must stay reachable on a small screen: moved inside the
        // work area only when it would not fit where it belongs.
        const auto inside = [](LONG at, LONG size, LONG low, LONG high) {
            return std::max(std::min(at, high - size), low) - at;
        };
        const RECT& work = monitor.rcWork;
        OffsetRect(&r, inside(r.left, r.right - r.left, work.left, work.right),
                   inside(r.top, r.bottom - r.top, work.top, work.bottom));
    }
    if (!EqualRect(&r, &now)) {
        SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form::Move(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, ToPixels(leftTwips), ToPixels(topTwips), ToPixels(widthTwips),
                 ToPixels(heightTwips), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(int modal) {
    if (!Load()) return;
    InUse inUse(*this);  // the window may unload itself, and its reference go, while we wait
    activatedSinceShow_ = false;
    if (modal) {
        const HWND active = GetActiveWindow();
        if (IsProgramWindow(active) && active != hwnd_) {
            // Owned by the window it interrupts, so it stays above it.
            SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(active));
        }
        WindowSearch search{hwnd_, &disabledByModal_};
        EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&search));
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

void Form::Release() {
    released_ = true;
    if (depth_ > 0) return;  // finished when the outermost message or modal loop returns
    ++depth_;
    Unload();
    --depth_;
    delete this;
}

void Form::OnFinalMessage() {
    // Nothing of the window runs any more: its controls may go with it.
    if (!hwnd_) controls_.clear();
    if (released_) Release();
}

void Form::WindowGone(HWND hwnd) {
    for (auto& c : controls_) c->Destroyed();
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    // The program ends with its last window, whichever that is.
    WindowSearch search{hwnd, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindOtherForm, reinterpret_cast<LPARAM>(&search));
    if (!search.any) PostQuitMessage(0);
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
    if (!form) {
        return IsDialogWindow(hwnd) ? DefDlgProcW(hwnd, msg, wParam, lParam)
                                    : DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    InUse inUse(*form);
    LRESULT result = 0;
    // Nothing may unwind through Windows' frames: an error ends here, reported.
    RunHandler([&] { result = form->HandleMessage(msg, wParam, lParam); });
    // Here and not in HandleMessage, so that a window handling the message itself still lets go.
    if (msg == WM_NCDESTROY) form->WindowGone(hwnd);
    return result;
}

LRESULT CALLBACK Form::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR control, DWORD_PTR form) {
    // comctl32 wants a subclass removed before its window is gone.
    if (msg == WM_NCDESTROY) CommonSubclassing().remove(hwnd, &Form::ControlProc, control);
    // A control's own message counts as its window's: the window may be unloaded from it.
    auto* self = reinterpret_cast<Form*>(form);
    InUse inUse(*self);
    LRESULT result = 0;
    RunHandler([&] {
        // As a form-wide key preview: the window hears the release before the control does.
        if (self->design_.keyPreview && (msg == WM_KEYUP || msg == WM_SYSKEYUP)) {
            self->Form_KeyUp(static_cast<std::int16_t>(wParam), ShiftState());
            if (!self->hwnd_) return;  // the window went meanwhile
        }
        const auto own = reinterpret_cast<Control*>(control)->Dispatch(msg, wParam, lParam);
        result = own ? *own : CommonSubclassing().next(hwnd, msg, wParam, lParam);
    });
    return result;
}

LRESULT CallNextProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CommonSubclassing().next(hwnd, msg, wParam, lParam);
}

LRESULT Form::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    return design_.dialog ? DefDlgProcW(hwnd_, msg, wParam, lParam)
                          : DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void Form::OnActivate(WPARAM wParam, LPARAM lParam) {
    Default(WM_ACTIVATE, wParam, lParam);  // a dialog puts the focus back where it was
    if (LOWORD(wParam) == WA_INACTIVE) return;
    if (const HWND focus = GetFocus(); design_.dialog && IsChild(hwnd_, focus)) {
        // The dialog manager puts the focus back without making a focused button the default
        // one again; moved through it, the button becomes the default, and Enter presses it.
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    } else if (focus != hwnd_ && !IsChild(hwnd_, focus)) {
        // Nothing to go back to: the first control in the tab order, or the window itself when
        // none takes the focus (its keys then reach Form_KeyUp).
        if (const HWND first = FirstTabStop()) {
            SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
        } else {
            SetFocus(hwnd_);
        }
    }
    if (!activatedSinceShow_ || IsProgramWindow(reinterpret_cast<HWND>(lParam))) {
        activatedSinceShow_ = true;
        // Posted: it runs after the activation is complete and before any painting.
        PostMessageW(hwnd_, kActivateMessage, 0, 0);
    }
}

HWND Form::FirstTabStop() const {
    if (!design_.dialog) return nullptr;
    const HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    return first && (GetWindowLongPtrW(first, GWL_STYLE) & WS_TABSTOP) ? first : nullptr;
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (auto handled = OnMessage(msg, wParam, lParam)) return *handled;
    switch (msg) {
        case WM_CTLCOLORDLG:  // what a dialog erases its background with
            return reinterpret_cast<LRESULT>(backBrush_.For(PaintedBackColor()));
        case WM_ERASEBKGND:
            if (design_.dialog) break;
            {
                RECT rc;
                GetClientRect(hwnd_, &rc);
                FillRect(reinterpret_cast<HDC>(wParam), &rc, backBrush_.For(PaintedBackColor()));
            }
            return 1;
        case WM_PAINT: {
            if (!design_.dialog) break;
            PAINTSTRUCT ps;
            BeginPaint(hwnd_, &ps);
            if (Control* c = ControlOf(GetFocus())) c->PaintAround(ps.hdc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
        case WM_THEMECHANGED:
            ColorsChanged(msg, wParam, lParam);
            break;
        case WM_GETOBJECT:
            if (!design_.accessibleName.empty()) {
                AccessibleInfo info;
                info.name = design_.accessibleName;
                info.role = ROLE_SYSTEM_DIALOG;
                if (const LRESULT answer = AnswerGetObject(hwnd_, wParam, lParam, info, true)) {
                    return answer;
                }
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            if (Control* c = ControlOf(reinterpret_cast<HWND>(lParam))) {
                if (auto brush = c->OnColor(*this, dc)) return reinterpret_cast<LRESULT>(*brush);
            }
            const COLORREF back = PaintedBackColor();
            SetBkColor(dc, back);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<LRESULT>(backBrush_.For(back));
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
            if (Control* c = ControlOf(reinterpret_cast<HWND>(lParam))) c->OnNotify(HIWORD(wParam));
            return 0;  // IDOK and IDCANCEL from the dialog manager mean nothing here
        case WM_ACTIVATE:
            OnActivate(wParam, lParam);
            return 0;
        case WM_SETFOCUS:
            // A dialog hands its focus on to a control, even to a label when no control takes
            // the focus; the window keeps it then, so that its keys reach Form_KeyUp.
            if (!FirstTabStop()) return 0;
            break;
        case kActivateMessage:
            Form_Activate();
            return 0;
        case WM_CHAR: {
            auto keyAscii = static_cast<std::int16_t>(wParam);
            Form_KeyPress(keyAscii);
            return 0;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
            Form_KeyUp(static_cast<std::int16_t>(wParam), ShiftState());
            if (msg == WM_KEYUP) return 0;
            break;
        case WM_DPICHANGED: {
            // The controls get the new fonts before the old ones go with this copy.
            const auto oldFonts = std::move(fonts_);
            ApplyDpi(HIWORD(wParam));
            const RECT* r = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            for (auto& c : controls_) c->Layout(*this);
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        }
        case WM_CLOSE:
            Unload();
            return 0;
        default:
            break;
    }
    return Default(msg, wParam, lParam);
}

bool DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchOne(msg);
    }
    return true;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
    return static_cast<int>(msg.wParam);
}

}  // namespace win32

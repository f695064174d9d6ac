#include <win32/form.h>

#include <win32/app.h>
#include <win32/dpi.h>
#include <win32/message_loop.h>
#include <win32/subclass.h>

namespace win32 {

namespace {

constexpr UINT kActivateMessage = WM_APP + 1;
constexpr int kFirstControlId = 100;

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

}  // namespace

Form::Form(FormDesign design) : design_(std::move(design)) {}

Form::~Form() {
    // Should the window outlive the object, its controls no longer reach it.
    for (const auto& c : controls_) {
        if (c->hWnd())
            Unsubclass(c->hWnd(), &Form::ControlProc, reinterpret_cast<UINT_PTR>(c.get()));
    }
}

std::wstring Form::Caption() const {
    if (!IsLoaded()) return design_.caption;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hWnd())) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hWnd(), text.data(), static_cast<int>(text.size()))));
    return text;
}

Placement Form::Place() const {
    return {design_.clientWidth, design_.clientHeight, design_.position, StyleFor(design_.border),
            ExStyleFor(design_.border)};
}

bool Form::Load() {
    if (IsLoaded()) return true;
    if (Running()) return false;
    fonts_.Apply(SystemDpi());
    // Made at the system's density; placed again when it lands on a monitor of another.
    const RECT r = Place().Frame(fonts_.Dpi());
    const bool placed = design_.position.has_value();
    const HWND hwnd = Create(design_.dialog, ExStyleFor(design_.border), design_.caption.c_str(),
                             StyleFor(design_.border),
                             placed ? POINT{r.left, r.top} : POINT{CW_USEDEFAULT, CW_USEDEFAULT},
                             SIZE{r.right - r.left, r.bottom - r.top}, HiddenOwner());
    if (!hwnd) return false;

    if (design_.iconId) {
        const HINSTANCE module = GetModuleHandleW(nullptr);
        const auto icon = [&](int size) {
            return reinterpret_cast<LPARAM>(LoadImageW(module, MAKEINTRESOURCEW(design_.iconId),
                                                       IMAGE_ICON, size, size, LR_SHARED));
        };
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
    }
    if (const int dpi = DpiOf(hwnd); dpi != fonts_.Dpi()) fonts_.Apply(dpi);
    if (design_.position || DpiOf(hwnd) != SystemDpi()) Place().Apply(hwnd, fonts_.Dpi());

    CreateAllControls();
    if (design_.dialog) {
        // As the dialog manager starts its own dialogs: focus rectangles and access keys shown
        // when the keyboard brought the window up, hidden after the mouse until a key is used.
        SendMessageW(hwnd, WM_CHANGEUISTATE,
                     MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    }
    Form_Load();
    return IsLoaded();
}

void Form::CreateAllControls() {
    CreateControls();
    // In creation order, which is the tab order; each control says whether it starts a group.
    int id = kFirstControlId;
    bool previousJoins = false;
    for (auto& c : controls_) {
        const bool joins = c->JoinsGroup();
        c->Create(*this, id++, joins && previousJoins ? 0 : WS_GROUP);
        previousJoins = joins;
        if (c->hWnd()) {
            Subclass(c->hWnd(), &Form::ControlProc, reinterpret_cast<UINT_PTR>(c.get()),
                     reinterpret_cast<DWORD_PTR>(this));
        }
    }
}

void Form::Move(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    if (!IsLoaded()) return;
    SetWindowPos(hWnd(), nullptr, ToPixels(leftTwips), ToPixels(topTwips), ToPixels(widthTwips),
                 ToPixels(heightTwips), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(int modal) {
    if (!Load()) return;
    InUse inUse(*this);  // the window may unload itself, and its reference go, while we wait
    activatedSinceShow_ = false;
    std::optional<ModalScope> scope;
    if (modal) modal_ = &scope.emplace(hWnd());
    ShowWindow(hWnd(), SW_SHOW);
    SetForegroundWindow(hWnd());
    if (!scope) return;
    scope->Run([this] { return !IsLoaded() || !IsWindowVisible(hWnd()); });
    modal_ = nullptr;
}

void Form::Unload() {
    if (!IsLoaded()) return;
    if (modal_) modal_->End();  // before the window goes: activation returns to its owner
    Window::Unload();
}

void Form::OnWindowGone() {
    for (auto& c : controls_) c->Destroyed();
}

void Form::OnFinalMessage() {
    // Nothing of the window runs any more: its controls may go with it.
    if (!IsLoaded()) controls_.clear();
}

Control* Form::ControlOf(HWND child) const {
    for (const auto& c : controls_) {
        if (c->hWnd() == child) return c.get();
    }
    return nullptr;
}

LRESULT CALLBACK Form::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR control, DWORD_PTR form) {
    // comctl32 wants a subclass removed before its window is gone.
    if (msg == WM_NCDESTROY) Unsubclass(hwnd, &Form::ControlProc, control);
    // A control's own message counts as its window's: the window may be unloaded from it.
    auto* self = reinterpret_cast<Form*>(form);
    InUse inUse(*self);
    LRESULT result = 0;
    RunHandler([&] {
        // As a form-wide key preview: the window hears the release before the control does.
        if (self->design_.keyPreview && (msg == WM_KEYUP || msg == WM_SYSKEYUP)) {
            self->Form_KeyUp(static_cast<std::int16_t>(wParam), ShiftState());
            if (!self->IsLoaded()) return;  // the window went meanwhile
        }
        const auto own = reinterpret_cast<Control*>(control)->Dispatch(msg, wParam, lParam);
        result = own ? *own : CallNextProc(hwnd, msg, wParam, lParam);
    });
    return result;
}

COLORREF Form::PaintedBackColor() const {
    // The effect window is a picture of the screen, not a dialog: it keeps its own colour.
    return Painted(BackColor(), Paint::kBackground, design_.dialog && HighContrast());
}

void Form::OnActivate(WPARAM wParam, LPARAM lParam) {
    Default(WM_ACTIVATE, wParam, lParam);  // a dialog puts the focus back where it was
    if (LOWORD(wParam) == WA_INACTIVE) return;
    if (const HWND focus = GetFocus(); design_.dialog && IsChild(hWnd(), focus)) {
        // The dialog manager puts the focus back without making a focused button the default
        // one again; moved through it, the button becomes the default, and Enter presses it.
        SendMessageW(hWnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    } else if (focus != hWnd() && !IsChild(hWnd(), focus)) {
        // Nothing to go back to: the first control in the tab order, or the window itself when
        // none takes the focus (its keys then reach Form_KeyUp).
        if (const HWND first = FirstTabStop()) {
            SendMessageW(hWnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
        } else {
            SetFocus(hWnd());
        }
    }
    if (!activatedSinceShow_ || IsProgramWindow(reinterpret_cast<HWND>(lParam))) {
        activatedSinceShow_ = true;
        // Posted: it runs after the activation is complete and before any painting.
        PostMessageW(hWnd(), kActivateMessage, 0, 0);
    }
}

HWND Form::FirstTabStop() const {
    if (!design_.dialog) return nullptr;
    const HWND first = GetNextDlgTabItem(hWnd(), nullptr, FALSE);
    return first && (GetWindowLongPtrW(first, GWL_STYLE) & WS_TABSTOP) ? first : nullptr;
}

void Form::OnDpiChanged(int dpi, const RECT& r) {
    // The controls get the new fonts before the old ones go with this copy.
    const auto oldFonts = fonts_.Apply(dpi);
    SetWindowPos(hWnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (auto& c : controls_) c->Layout(*this);
    InvalidateRect(hWnd(), nullptr, TRUE);
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (auto handled = OnMessage(msg, wParam, lParam)) return *handled;
    switch (msg) {
        case WM_CTLCOLORDLG:  // what a dialog erases its background with
            return reinterpret_cast<LRESULT>(colors_.Background(PaintedBackColor()));
        case WM_ERASEBKGND:
            if (design_.dialog) break;
            {
                RECT rc;
                GetClientRect(hWnd(), &rc);
                FillRect(reinterpret_cast<HDC>(wParam), &rc,
                         colors_.Background(PaintedBackColor()));
            }
            return 1;
        case WM_PAINT: {
            if (!design_.dialog) break;
            PAINTSTRUCT ps;
            BeginPaint(hWnd(), &ps);
            if (Control* c = ControlOf(GetFocus())) c->PaintAround(ps.hdc);
            EndPaint(hWnd(), &ps);
            return 0;
        }
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
        case WM_THEMECHANGED:
            ColorRelay::Changed(hWnd(), msg, wParam, lParam);
            break;
        case WM_GETOBJECT:
            if (!design_.accessibleName.empty()) {
                AccessibleInfo info;
                info.name = design_.accessibleName;
                info.role = ROLE_SYSTEM_DIALOG;
                if (const LRESULT answer = AnswerGetObject(hWnd(), wParam, lParam, info, true)) {
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
            return colors_.ForControl(dc, PaintedBackColor());
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
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            Unload();
            return 0;
        default:
            break;
    }
    return Default(msg, wParam, lParam);
}

}  // namespace win32

#include <frmGraphics/frmGraphics.h>

#include <chrono>
#include <cmath>

#include <frmGraphics/effect_math.h>
#include <frmGraphics/effect_step.h>
#include <win32/app.h>
#include <win32/message_loop.h>

namespace tessaro {

namespace {

win32::FormDesign EffectDesign() {
    win32::FormDesign d;
    d.border = win32::BorderStyle::kNone;
    d.clientWidth = 4800;
    d.clientHeight = 3000;
    d.backColor = RGB(0, 0, 0);
    d.dialog = false;
    return d;
}

int Twips(float twips) { return static_cast<int>(std::lround(twips)); }

std::uint32_t SeedFromClock() {
    // The generator keeps only the low 24 bits: fold the slow-moving high part into them.
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 24) ^ (ticks >> 48));
}

bool IsButtonDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
           msg == WM_XBUTTONDOWN;
}

bool IsButtonUp(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP || msg == WM_XBUTTONUP;
}

}  // namespace

frmGraphics::frmGraphics(std::int16_t ef, std::function<void()> onEnd)
    : win32::Form(EffectDesign()), ef(ef), onEnd_(std::move(onEnd)) {}

void frmGraphics::Form_Load() {
    effect::ApplyPreset(ef, parameters_);
    effectStarted_ = false;
    autoRedraw_ = true;
    buttonDown_ = false;
}

void frmGraphics::Form_Activate() {
    // Activation can come again while the loop runs (the user switching windows); a second loop
    // over the same fields would release the screen DC and unload twice.
    if (effectStarted_) return;
    effectStarted_ = true;
    doeffect();
}

void frmGraphics::Form_Click() { blnRunning = 0; }

void frmGraphics::Form_KeyPress(std::int16_t& /*KeyAscii*/) { blnRunning = 0; }

void frmGraphics::doeffect() {
    const float twipsPerPixelX = win32::TwipsPerPixelX();
    const float screenWidth = win32::ScreenWidthTwips();
    const std::int16_t intScreenWidth = effect::ScreenPixels(screenWidth, twipsPerPixelX);
    const float twipsPerPixelY = win32::TwipsPerPixelY();
    const float screenHeight = win32::ScreenHeightTwips();
    const std::int16_t intScreenHeight = effect::ScreenPixels(screenHeight, twipsPerPixelY);

    Move(0, 0, Twips(screenWidth), Twips(screenHeight));

    // Under Wine the window is already mapped here, but nothing of it has reached the screen yet:
    // window surfaces are flushed only when the thread goes idle, and the posted activation runs
    // before that. So the capture still sees the desktop.
    hdcScreen = GetDC(nullptr);
    BitBlt(hDC(), 0, 0, intScreenWidth, intScreenHeight, hdcScreen, 0, 0, SRCCOPY);
    SetAutoRedraw(false);

    random_.Seed(SeedFromClock());
    blnRunning = -1;
    // A window destroyed by other means than the loop's own end must not be drawn on further;
    // the end of the program ends the effect too.
    while (blnRunning == -1 && IsLoaded()) {
        const auto move =
            effect::NextDrawableBlockMove(parameters_, intScreenWidth, intScreenHeight, random_);
        const HDC destination = hDC();
        const HDC source = hDC();
        if (move) {
            BitBlt(destination, move->dstX, move->dstY, parameters_.intBlockWidth,
                   parameters_.intBlockHeight, source, move->srcX, move->srcY, SRCCOPY);
        }
        ++iterations_;
        if (!win32::DoEvents()) break;
    }

    if (onEnd_) onEnd_();
    ReleaseDC(nullptr, hdcScreen);
    hdcScreen = nullptr;
    Unload();
}

HDC frmGraphics::hDC() {
    if (!IsLoaded()) return nullptr;
    if (autoRedraw_) {
        RECT client{};
        GetClientRect(hWnd(), &client);
        picture_.Ensure(client.right, client.bottom, BackColor());
        return picture_.Dc();
    }
    if (!windowDc_) windowDc_.emplace(hWnd());
    return windowDc_->Get();
}

void frmGraphics::SetAutoRedraw(bool on) {
    autoRedraw_ = on;
    // What went into the picture shows now, before anything is drawn straight on the window, so
    // that a pending first paint cannot cover the first blocks.
    if (!on && IsLoaded()) RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void frmGraphics::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hWnd(), &ps);
    // Always the picture, never what was drawn on the window since: a repaint brings back the
    // captured screen without the displacements. Before the capture nothing is drawn at all, so
    // that the capture sees the desktop and not this window.
    if (picture_.Dc()) picture_.PaintTo(dc, ps.rcPaint, BackColor());
    EndPaint(hWnd(), &ps);
}

std::optional<LRESULT> frmGraphics::OnMessage(UINT msg, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    // XBUTTON messages want TRUE back, the others 0.
    const LRESULT buttonResult = (msg == WM_XBUTTONDOWN || msg == WM_XBUTTONUP) ? TRUE : 0;
    if (IsButtonDown(msg)) {
        buttonDown_ = true;
        return buttonResult;
    }
    if (IsButtonUp(msg)) {
        // A release alone is no click: the press that opened this window (a label reacts on the
        // press) would otherwise end the effect the moment it starts.
        if (buttonDown_) {
            buttonDown_ = false;
            Form_Click();
        }
        return buttonResult;
    }
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything; before the capture, nothing may be drawn
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CLOSE:
            // A close request (Alt+F4) while the effect runs ends it like a click; the loop then
            // unloads the window itself instead of leaving it destroyed under the loop.
            if (effectStarted_) {
                blnRunning = 0;
                return 0;
            }
            break;
        case WM_DESTROY:
            blnRunning = 0;
            windowDc_.reset();
            picture_.Reset();
            break;
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace tessaro

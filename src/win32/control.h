// The base of the controls the windows use: each is created from its place in twips, laid out
// again when the DPI changes, and turns its click into its onClick callback.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include <win32/accessible.h>
#include <win32/colors.h>
#include <win32/scaling.h>

namespace win32 {

struct TwipRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// What a control takes from the window it lives in.
class ControlHost {
  public:
    virtual HWND hWnd() const = 0;
    virtual int ToPixels(int twips) const = 0;  // at the window's current DPI
    virtual HFONT Font(FontKind kind) const = 0;
    virtual OleColor BackColor() const = 0;

  protected:
    ~ControlHost() = default;
};

class Control {
  public:
    explicit Control(TwipRect rect) : rect_(rect) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND hWnd() const { return hwnd_; }
    const TwipRect& Rect() const { return rect_; }

    std::function<void()> onClick;
    // What a screen reader is told about it; each kind of control fills in its role.
    AccessibleInfo accessible;

    // Used by the form. Create makes the window with its font; Layout places it again.
    void Create(ControlHost& host, int id, DWORD groupStyle);
    void Destroyed() { hwnd_ = nullptr; }
    virtual void Layout(ControlHost& host);
    // True: it belongs to one group with the controls right before it that say so too (the
    // options of one choice); false: it starts a group of its own.
    virtual bool JoinsGroup() const { return false; }
    // A notification from the control's window to the form: a click runs onClick, but only while
    // the window takes input (a modal window or a raised write may be running).
    void OnNotify(WORD code);
    // A message to the control's own window, which the form passes on while it counts as
    // running: what every control answers (a screen reader's questions and its default action),
    // then OnMessage.
    std::optional<LRESULT> Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    // Its own messages; nullopt lets the control's class handle it.
    virtual std::optional<LRESULT> OnMessage(UINT /*msg*/, WPARAM, LPARAM) { return std::nullopt; }
    // WM_CTLCOLOR*: a brush to paint with, after setting the DC's colours.
    virtual std::optional<HBRUSH> OnColor(ControlHost& /*host*/, HDC /*dc*/) {
        return std::nullopt;
    }
    virtual HCURSOR Cursor() const { return nullptr; }
    // Draws what the control shows on its window around itself, as the window paints.
    virtual void PaintAround(HDC /*windowDc*/) {}

  protected:
    virtual HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) = 0;
    // A child window of the host, visible from the start (the window is still hidden).
    static HWND MakeChild(ControlHost& host, const wchar_t* cls, const std::wstring& text,
                          DWORD style, DWORD exStyle, int id, RECT px);
    // What a screen reader's default action does: a click, as by the mouse.
    virtual void Press() { SendMessageW(hwnd_, BM_CLICK, 0, 0); }
    // Sizes that depend on the font or the content, after the font is set.
    virtual void Fit(ControlHost& /*host*/) {}
    // Makes the window as tall as its place in twips, or as tall as `needed` pixels when that is
    // more; left, top and width stay.
    void GrowTo(ControlHost& host, int needed);
    HWND hwnd_ = nullptr;
    TwipRect rect_;
    FontKind font_ = FontKind::kRegular;
};

}  // namespace win32

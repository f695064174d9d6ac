// The controls the windows use, each created from its layout in twips and laid out again when
// the DPI changes. A control's click becomes its onClick callback.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "win32/accessible.h"
#include "win32/colors.h"
#include "win32/scoped_handles.h"

namespace win32 {

enum class FontKind { kRegular = 0, kBold = 1, kUnderline = 2 };

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
    // What a screen reader's default action does: a click, as by the mouse.
    virtual void Press() { SendMessageW(hwnd_, BM_CLICK, 0, 0); }
    // Sizes that depend on the font or the content, after the font is set.
    virtual void Fit(ControlHost& /*host*/) {}
    // Makes the window as tall as its place in twips, or taller where the text, laid out with
    // these DrawText flags in the client width less `indent`, needs more; left, top and width
    // stay.
    void FitHeightToText(ControlHost& host, const std::wstring& text, int indent, UINT format);
    HWND hwnd_ = nullptr;
    TwipRect rect_;
    FontKind font_ = FontKind::kRegular;
};

class Button : public Control {
  public:
    Button(std::wstring caption, TwipRect rect) : Control(rect), caption_(std::move(caption)) {
        accessible.role = ROLE_SYSTEM_PUSHBUTTON;
        accessible.defaultAction = L"Press";
    }

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    std::wstring caption_;
};

class OptionButton : public Control {
  public:
    OptionButton(std::wstring caption, TwipRect rect)
        : Control(rect), caption_(std::move(caption)) {
        accessible.role = ROLE_SYSTEM_RADIOBUTTON;
        accessible.defaultAction = L"Check";
    }
    bool Value() const;
    void SetValue(bool selected);  // selecting one clears the others of its group

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;
    std::wstring caption_;
};

struct LabelStyle {
    FontKind font = FontKind::kRegular;
    std::optional<OleColor> textColor;  // none: the system's text colour
    bool transparent = false;           // draws no background at all
    bool border = false;                // a one-pixel flat frame
    bool autoSize = false;              // the label takes the size of its text
    bool clickable = false;             // a press and release over it reach onClick
    HCURSOR cursor = nullptr;           // shown while the mouse is over the label
    // A link: a tab stop that Enter or Space clicks, painted in the link colour under high
    // contrast, and a link to a screen reader.
    bool link = false;
    bool focusable = false;   // a tab stop that Enter or Space clicks, not a link
    bool liveRegion = false;  // a screen reader reads its new text when the program says so
};

class Label : public Control {
  public:
    Label(std::wstring caption, TwipRect rect, LabelStyle style = {});
    std::wstring Caption() const;
    // Announced to a screen reader as well when the label is a live region and announce is set.
    void SetCaption(const std::wstring& caption, bool announce = false);
    void SetBackColor(OleColor color);
    std::optional<HBRUSH> OnColor(ControlHost& host, HDC dc) override;
    HCURSOR Cursor() const override { return style_.cursor; }
    void PaintAround(HDC windowDc) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;
    void Press() override;

  private:
    bool TabStop() const { return style_.link || style_.focusable; }
    bool FocusShown() const;
    RECT RectOnWindow() const;  // in the client area of its window
    void ShowFocus() const;

    ControlHost* host_ = nullptr;
    std::wstring caption_;
    LabelStyle style_;
    std::optional<OleColor> backColor_;
    SolidBrush backBrush_;
    bool spaceDown_ = false;
};

// A picture shown at its own size at 96 dpi and scaled with the density, optionally inside a
// one-pixel flat frame.
class Picture : public Control {
  public:
    Picture(HBITMAP bitmap, TwipRect rect, bool border)
        : Control(rect), bitmap_(bitmap), border_(border) {
        accessible.role = ROLE_SYSTEM_GRAPHIC;
    }

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;

  private:
    ScopedGdiObject bitmap_;
    ScopedGdiObject shown_;  // the copy at the current density, when it is not 96 dpi
    bool border_;
};

// The Windows animation control: a clip opened by path and played with the control's own
// defaults (looping, whole clip, centred).
class Animation : public Control {
  public:
    explicit Animation(TwipRect rect) : Control(rect) { accessible.role = ROLE_SYSTEM_ANIMATION; }
    void SetBackColor(OleColor color);
    bool Open(const std::wstring& path);  // false when the clip cannot be opened
    bool Play();
    std::optional<HBRUSH> OnColor(ControlHost& host, HDC dc) override;

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;

  private:
    std::optional<OleColor> backColor_;
    SolidBrush backBrush_;
};

// The next procedure of a control's window, which the form has subclassed.
LRESULT CallNextProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace win32

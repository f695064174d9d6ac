// The controls the windows use, each created from its layout in twips and laid out again when
// the DPI changes. A control's click becomes its onClick callback.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

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
    virtual COLORREF BackColor() const = 0;

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

    // Used by the form. Create makes the window with its font; Layout places it again.
    void Create(ControlHost& host, int id, DWORD groupStyle);
    void Destroyed() { hwnd_ = nullptr; }
    virtual void Layout(ControlHost& host);
    void OnNotify(WORD code);
    // A message to the control's own window, which the form passes on while it counts as
    // running; nullopt lets the control's class handle it.
    virtual std::optional<LRESULT> OnMessage(UINT /*msg*/, WPARAM, LPARAM) { return std::nullopt; }
    // WM_CTLCOLOR*: a brush to paint with, after setting the DC's colours.
    virtual std::optional<HBRUSH> OnColor(ControlHost& /*host*/, HDC /*dc*/) {
        return std::nullopt;
    }
    virtual HCURSOR Cursor() const { return nullptr; }

  protected:
    virtual HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) = 0;
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
    Button(std::wstring caption, TwipRect rect) : Control(rect), caption_(std::move(caption)) {}

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    std::wstring caption_;
};

class OptionButton : public Control {
  public:
    OptionButton(std::wstring caption, TwipRect rect)
        : Control(rect), caption_(std::move(caption)) {}
    bool Value() const;
    void SetValue(bool selected);  // selecting one clears the others of its group

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;
    std::wstring caption_;
};

struct LabelStyle {
    FontKind font = FontKind::kRegular;
    std::optional<COLORREF> textColor;  // none: the system's text colour
    bool transparent = false;           // draws no background at all
    bool border = false;                // a one-pixel flat frame
    bool autoSize = false;              // the label takes the size of its text
    bool clickable = false;             // a press and release over it reach onClick
    HCURSOR cursor = nullptr;           // shown while the mouse is over the label
};

class Label : public Control {
  public:
    Label(std::wstring caption, TwipRect rect, LabelStyle style = {})
        : Control(rect), caption_(std::move(caption)), style_(style) {
        font_ = style.font;
    }
    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);
    void SetBackColor(COLORREF color);
    std::optional<HBRUSH> OnColor(ControlHost& host, HDC dc) override;
    HCURSOR Cursor() const override { return style_.cursor; }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;
    void Fit(ControlHost& host) override;

  private:
    ControlHost* host_ = nullptr;
    std::wstring caption_;
    LabelStyle style_;
    std::optional<COLORREF> backColor_;
    ScopedGdiObject backBrush_;
};

// A picture shown at its own size at 96 dpi and scaled with the density, optionally inside a
// one-pixel flat frame.
class Picture : public Control {
  public:
    Picture(HBITMAP bitmap, TwipRect rect, bool border)
        : Control(rect), bitmap_(bitmap), border_(border) {}

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
    explicit Animation(TwipRect rect) : Control(rect) {}
    void SetBackColor(COLORREF color);
    bool Open(const std::wstring& path);  // false when the clip cannot be opened
    bool Play();
    std::optional<HBRUSH> OnColor(ControlHost& host, HDC dc) override;

  protected:
    HWND CreateWindowFor(ControlHost& host, int id, RECT pixels, DWORD style) override;

  private:
    ScopedGdiObject backBrush_;
};

}  // namespace win32

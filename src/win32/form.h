// The window base class: a top-level window laid out in twips at its real DPI, with its controls
// and the event methods the windows override. The main window and the About box are dialogs, so
// Tab, arrows, access keys, radio groups, Enter on a focused button and focus memory across
// activation come from the dialog manager; the effect window is a plain window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <win32/color_relay.h>
#include <win32/control.h>
#include <win32/scaling.h>
#include <win32/window.h>

namespace win32 {

class ModalScope;

enum class BorderStyle { kNone, kFixedDialog };

struct FormDesign {
    std::wstring caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0;
    BorderStyle border = BorderStyle::kFixedDialog;
    // Top-left corner of the client area on the screen, in twips; none: the system's default.
    std::optional<POINT> position;
    std::optional<COLORREF> backColor;  // none: the system's dialog colour
    int iconId = 0;                     // resource id of the window's icon, 0 for none
    bool dialog = true;                 // run by the dialog manager
    // Key releases reach Form_KeyUp first, whichever control has the focus.
    bool keyPreview = false;
    // What a screen reader calls the window; empty: its caption.
    std::wstring accessibleName;
};

class Form : public Window, public ControlHost {
  public:
    explicit Form(FormDesign design);

    // Creates the window and its controls and runs Form_Load, once per loading. False when
    // Windows refused to create the window, or when asked from inside a message of the window
    // that is gone: its old controls may still be running then.
    bool Load();
    // Loads if needed and shows. Modal (1): disables the program's other windows and returns
    // only when this window is hidden or unloaded.
    void Show(int modal = 0);
    void Unload() override;

    bool IsLoaded() const { return Handle() != nullptr; }
    HWND hWnd() const override { return Handle(); }
    std::wstring Caption() const;
    OleColor BackColor() const override {
        return design_.backColor.value_or(SystemColor(COLOR_BTNFACE));
    }
    int ToPixels(int twips) const override { return fonts_.ToPixels(twips); }
    HFONT Font(FontKind kind) const override { return fonts_.Get(kind); }
    // Outer position and size in twips.
    void Move(int leftTwips, int topTwips, int widthTwips, int heightTwips);

  protected:
    ~Form() override;

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_KeyPress(std::int16_t& /*KeyAscii*/) {}
    virtual void Form_KeyUp(std::int16_t /*KeyCode*/, std::int16_t /*Shift*/) {}
    // Creates the controls with Add<>(), in tab order: the first is the first in the tab order
    // and on top; controls that take no focus (pictures) come last.
    virtual void CreateControls() {}
    // For a window that needs a message of its own; nullopt lets the base class handle it.
    virtual std::optional<LRESULT> OnMessage(UINT /*msg*/, WPARAM, LPARAM) { return std::nullopt; }

    template <typename C, typename... Args>
    C& Add(Args&&... args) {
        auto control = std::make_unique<C>(std::forward<Args>(args)...);
        C& ref = *control;
        controls_.push_back(std::move(control));
        return ref;
    }

  private:
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR control, DWORD_PTR form);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override;
    void OnFinalMessage() override;
    void CreateAllControls();
    Placement Place() const;
    void OnActivate(WPARAM wParam, LPARAM lParam);
    void OnDpiChanged(int dpi, const RECT& suggested);
    HWND FirstTabStop() const;
    Control* ControlOf(HWND child) const;
    COLORREF PaintedBackColor() const;

    FormDesign design_;
    FontSet fonts_;
    ColorRelay colors_;
    std::vector<std::unique_ptr<Control>> controls_;
    ModalScope* modal_ = nullptr;  // while shown modally
    bool activatedSinceShow_ = false;
};

// A window reference: owns the object and lets it go through Release.
struct FormRelease {
    void operator()(Form* form) const { form->Release(); }
};
template <typename T>
using FormPtr = std::unique_ptr<T, FormRelease>;
template <typename T, typename... Args>
FormPtr<T> MakeForm(Args&&... args) {
    return FormPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace win32

// The window base class: a top-level window laid out in twips, with its controls, the event
// methods the windows override, load/show/unload, modal display and global references.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32/controls.h"
#include "win32/scoped_handles.h"

namespace win32 {

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
    bool dialogNavigation = true;       // Tab, arrows and access keys move among controls
};

class Form : public std::enable_shared_from_this<Form> {
  public:
    explicit Form(FormDesign design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window and its controls and runs Form_Load, once per loading.
    void Load();
    // Loads if needed and shows. Modal (1): disables the program's other windows and returns
    // only when this window is hidden or unloaded.
    void Show(int modal = 0);
    // Destroys the window and its controls. The object itself lives on until its last reference.
    void Unload();

    bool IsLoaded() const { return hwnd_ != nullptr; }
    HWND hWnd() const { return hwnd_; }
    std::wstring Caption() const;
    COLORREF BackColor() const;
    int Dpi() const { return dpi_; }
    int ToPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    HFONT Font(FontKind kind) const;
    bool UsesDialogNavigation() const { return design_.dialogNavigation; }

    // Outer position and size in twips.
    void Move(int leftTwips, int topTwips, int widthTwips, int heightTwips);

    static Form* FromHwnd(HWND hwnd);

    // Called once by the global reference that creates the object.
    void Initialize() { Form_Initialize(); }

  protected:
    virtual void Form_Initialize() {}
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Click() {}
    virtual void Form_KeyPress(std::int16_t& /*KeyAscii*/) {}
    virtual void Form_KeyUp(std::int16_t /*KeyCode*/, std::int16_t /*Shift*/) {}
    // Creates the controls, in order, with Add<>().
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

    const FormDesign& Design() const { return design_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateFonts();
    void LayoutControls();
    RECT OuterRectFor(int dpi) const;
    Control* ControlOf(HWND child) const;
    void EnableOthers();

    FormDesign design_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    ScopedGdiObject fonts_[3];
    ScopedGdiObject backBrush_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<HWND> disabledByModal_;
    HWND lastFocus_ = nullptr;
    bool modal_ = false;
    bool activatedSinceShow_ = false;
    std::shared_ptr<Form> selfWhileLoaded_;
};

// A global window reference: using it while empty creates a new window object.
template <typename T>
class FormRef {
  public:
    T* operator->() { return &Get(); }
    T& Get() {
        if (!form_) {
            form_ = std::make_shared<T>();
            form_->Initialize();
        }
        return *form_;
    }
    void Clear() { form_.reset(); }
    bool Exists() const { return form_ != nullptr; }

  private:
    std::shared_ptr<T> form_;
};

}  // namespace win32

// The window base class inside a real Windows message system: what only its own process can see.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <win32/buttons.h>
#include <win32/form.h>
#include <win32/label.h>
#include <win32/link.h>
#include <win32/media.h>

namespace {

constexpr UINT kPoke = WM_APP + 7;

win32::FormDesign TestDesign() {
    win32::FormDesign d;
    d.caption = L"Form test";
    d.clientWidth = 4320;
    d.clientHeight = 2880;
    return d;
}

// A button that runs onPoke inside a message of its own, and tells when its object goes.
class PokedButton : public win32::Button {
  public:
    PokedButton() : win32::Button(L"&Go", win32::TwipRect{1440, 720, 1440, 360}) {}
    ~PokedButton() override { *gone = true; }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg != kPoke) return std::nullopt;
        onPoke();
        return 0;
    }

    std::function<void()> onPoke;
    bool unwatched = false;
    bool* gone = &unwatched;
};

class TestForm : public win32::Form {
  public:
    explicit TestForm(bool* gone) : win32::Form(TestDesign()), gone_(gone) {}
    ~TestForm() override {
        if (gone_) *gone_ = true;
    }

    PokedButton* button = nullptr;
    win32::Link* link = nullptr;
    std::function<void()> onPoke;  // runs inside a message of the window
    bool handlesNcDestroy = false;

  protected:
    void CreateControls() override {
        button = &Add<PokedButton>();
        link = &Add<win32::Link>(L"Link", win32::TwipRect{1440, 1440, 1440, 360}, nullptr);
    }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg == WM_NCDESTROY && handlesNcDestroy) return 0;
        if (msg != kPoke) return std::nullopt;
        onPoke();
        return 0;
    }

  private:
    bool* gone_;
};

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(Form, DpiChangeLaysOutAgainAndSwapsFontsOnlyOnceTheControlsHaveTheNewOnes) {
    bool gone = false;
    auto form = win32::MakeForm<TestForm>(&gone);
    ASSERT_TRUE(form->Load());
    const HWND button = form->button->hWnd();
    const auto oldFont = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    RECT suggested{10, 20, 10 + 700, 20 + 500};
    SendMessageW(form->hWnd(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));

    const RECT r = ChildRect(button);
    EXPECT_EQ(192, r.left);  // 1440 twips at 192 dpi
    EXPECT_EQ(96, r.top);
    EXPECT_EQ(192, r.right - r.left);
    RECT window;
    GetWindowRect(form->hWnd(), &window);
    EXPECT_EQ(10, window.left);
    EXPECT_EQ(700, window.right - window.left);
    LOGFONTW font{};
    const auto newFont = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    ASSERT_EQ(static_cast<int>(sizeof font), GetObjectW(newFont, sizeof font, &font));
    EXPECT_EQ(-MulDiv(825, 192, 7200), font.lfHeight);
    EXPECT_EQ(0, GetObjectW(oldFont, sizeof font, &font)) << "the old font was not deleted";
    const HWND hwnd = form->hWnd();
    delete form.release();  // deleted outright, not released: still no window left behind
    EXPECT_TRUE(gone && !IsWindow(hwnd));
}

TEST(Form, AWindowReleasedInsideItsOwnMessageGoesWhenItReturnsEvenIfItHandlesNcDestroyItself) {
    bool gone = false;
    auto form = win32::MakeForm<TestForm>(&gone);
    ASSERT_TRUE(form->Load());
    TestForm* raw = form.get();
    raw->handlesNcDestroy = true;
    const HWND hwnd = raw->hWnd();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    raw->onPoke = [&] {
        form.reset();   // the reference goes, as when the effect window ends
        raw->Unload();  // nested messages for the same window, WM_NCDESTROY among them
        EXPECT_FALSE(gone);
        EXPECT_EQ(nullptr, raw->hWnd());
    };
    SendMessageW(hwnd, kPoke, 0, 0);
    EXPECT_TRUE(gone && !IsWindow(hwnd));
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the last one went";
}

TEST(Form, AControlsOwnMessageMayUnloadTheWindowWhichIsRebuiltOnlyOnceThatMessageHasReturned) {
    bool gone = false, buttonGone = false;
    auto form = win32::MakeForm<TestForm>(&gone);
    ASSERT_TRUE(form->Load());
    form->button->gone = &buttonGone;
    form->button->onPoke = [&] {
        form->Unload();
        EXPECT_FALSE(buttonGone) << "the control went under its own message";
        EXPECT_FALSE(form->Load()) << "rebuilt while the old control runs";
    };
    SendMessageW(form->button->hWnd(), kPoke, 0, 0);
    EXPECT_TRUE(buttonGone);
    EXPECT_TRUE(form->Load());
}

// What a screen reader holds of a control: its own object, through IAccessible or IDispatch.
struct Element {
    IAccessible* p = nullptr;
    explicit Element(HWND w) {
        const IID iid = {
            0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
        AccessibleObjectFromWindow(w, OBJID_CLIENT, iid, reinterpret_cast<void**>(&p));
    }
    ~Element() { p->Release(); }
    // The property or method through IDispatch::Invoke, for the element itself.
    VARIANT Invoke(DISPID id, WORD flags = DISPATCH_PROPERTYGET) const {
        VARIANT self{}, result{};
        self.vt = VT_I4;
        DISPPARAMS params{&self, nullptr, 1, 0};
        EXPECT_EQ(S_OK, p->Invoke(id, IID_NULL, 0, flags, &params, &result, nullptr, nullptr));
        return result;
    }
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// One object whichever interface a client asks for, and the same answers through IDispatch as
// through IAccessible, the default action included.
TEST(Form, AScreenReaderMeetsOneObjectAndItsAnswersThroughIDispatchToo) {
    CoInitialize(nullptr);
    auto form = win32::MakeForm<TestForm>(nullptr);
    ASSERT_TRUE(form->Load());
    int clicks = 0;
    form->button->onClick = [&] { ++clicks; };
    const Element button(form->button->hWnd());
    ASSERT_TRUE(button.p);
    IUnknown *self = nullptr, *asked = nullptr, *back = nullptr;
    button.p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self));
    for (const IID& iid : {IID_IDispatch, IID_IOleWindow, IID_IEnumVARIANT, IID_IServiceProvider}) {
        if (FAILED(button.p->QueryInterface(iid, reinterpret_cast<void**>(&asked)))) continue;
        asked->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back));
        EXPECT_EQ(self, back) << "another object behind interface " << iid.Data1;
        back->Release(), asked->Release();
    }
    self->Release();
    VARIANT v = button.Invoke(DISPID_ACC_ROLE);
    EXPECT_TRUE(v.vt == VT_I4 && v.lVal == ROLE_SYSTEM_PUSHBUTTON);
    v = button.Invoke(DISPID_ACC_STATE);
    EXPECT_TRUE(v.vt == VT_I4 && (v.lVal & STATE_SYSTEM_FOCUSABLE));
    v = button.Invoke(DISPID_ACC_DEFAULTACTION);
    EXPECT_TRUE(v.vt == VT_BSTR && v.bstrVal && std::wstring(v.bstrVal) == L"Press");
    VariantClear(&v);
    button.Invoke(DISPID_ACC_DODEFAULTACTION, DISPATCH_METHOD);
    Pump();
    EXPECT_EQ(1, clicks);
    CoUninitialize();
}

// While a modal window runs, the window behind it is disabled but its controls are not: none of
// them acts, whether clicked, keyed or told by a screen reader, which also hears that they are
// unavailable; once the modal window has gone, they act again.
TEST(Form, TheControlsOfAWindowBehindAModalOneDoNothing) {
    CoInitialize(nullptr);
    auto form = win32::MakeForm<TestForm>(nullptr);
    auto modal = win32::MakeForm<TestForm>(nullptr);
    int clicks = 0;
    form->Show();
    form->button->onClick = form->link->onClick = [&] { ++clicks; };
    const auto act = [&] {
        VARIANT self{};
        self.vt = VT_I4;
        for (HWND w : {form->button->hWnd(), form->link->hWnd()}) {
            const Element e(w);
            VARIANT state{};
            e.p->get_accState(self, &state);
            EXPECT_EQ(!IsWindowEnabled(form->hWnd()), (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0);
            e.p->accDoDefaultAction(self);
        }
        SendMessageW(form->button->hWnd(), BM_CLICK, 0, 0);
        SendMessageW(form->link->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    };
    form->onPoke = [&] {
        act();
        PostMessageW(modal->hWnd(), WM_CLOSE, 0, 0);  // after the default actions posted
    };
    PostMessageW(form->hWnd(), kPoke, 0, 0);
    modal->Show(1);
    EXPECT_EQ(0, clicks);
    act();
    Pump();
    EXPECT_EQ(4, clicks);
    CoUninitialize();
}

// A window with a label and an animation in the system's colours.
class ColourForm : public win32::Form {
  public:
    ColourForm() : win32::Form(TestDesign()) {}
    win32::Label* text = nullptr;
    win32::Animation* clip = nullptr;

  protected:
    void CreateControls() override {
        text = &Add<win32::Label>(L"Text", win32::TwipRect{150, 150, 1440, 600});
        clip = &Add<win32::Animation>(win32::TwipRect{1800, 150, 1440, 1440});
    }
    void Form_Load() override { clip->SetBackColor(BackColor()); }
};

COLORREF PixelOf(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    const win32::WindowDc screen(nullptr);
    return GetPixel(screen.Get(), p.x, p.y);
}

// Everything is painted in the system's colours as they are now: new ones show on the window, the
// labels and the animation's background once the window hears of them. With high contrast on
// (which Wine cannot switch on) a link takes the hot-light colour instead of its own.
TEST(Form, NewSystemColoursShowOnceTheWindowHearsOfThem) {
    auto form = win32::MakeForm<ColourForm>();
    ASSERT_TRUE(form->Load());
    ShowWindow(form->hWnd(), SW_SHOWNOACTIVATE);
    const auto settle = [&] {
        for (int i = 0; i < 20; ++i, Sleep(10)) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    };
    const auto painted = [&] {
        const RECT text = ChildRect(form->text->hWnd()), clip = ChildRect(form->clip->hWnd());
        return std::vector<COLORREF>{PixelOf(form->hWnd(), 2, 2),
                                     PixelOf(form->hWnd(), text.right - 2, text.bottom - 2),
                                     PixelOf(form->hWnd(), clip.left + 4, clip.top + 4)};
    };
    settle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE), dark = RGB(16, 32, 48);
    EXPECT_EQ(std::vector<COLORREF>(3, face), painted());

    const int element = COLOR_BTNFACE;
    SetSysColors(1, &element, &dark);
    SendMessageW(form->hWnd(), WM_SYSCOLORCHANGE, 0, 0);
    settle();
    EXPECT_EQ(std::vector<COLORREF>(3, dark), painted());
    SetSysColors(1, &element, &face);
    settle();
    // A change of high contrast alters no system colour: the window paints everything again.
    {
        const win32::WindowDc dc(form->hWnd());
        const RECT all{0, 0, 4000, 4000};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    SendMessageW(form->hWnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    settle();
    EXPECT_EQ(std::vector<COLORREF>(3, face), painted());

    using win32::Paint, win32::Painted;
    EXPECT_EQ(RGB(0, 0, 255), Painted(RGB(0, 0, 255), Paint::kLink, false));
    EXPECT_EQ(GetSysColor(COLOR_HOTLIGHT), Painted(RGB(0, 0, 255), Paint::kLink, true));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Painted(RGB(0, 0, 0), Paint::kBackground, true));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT),
              Painted(win32::SystemColor(COLOR_GRAYTEXT), Paint::kText, true));
}

}  // namespace

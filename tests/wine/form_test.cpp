// The window base class inside a real Windows message system: what only its own process can see.
#include <gtest/gtest.h>

#include "win32/form.h"

namespace {

class TestForm : public win32::Form {
  public:
    explicit TestForm(bool* gone) : win32::Form(Design()), gone_(gone) {}
    ~TestForm() override { *gone_ = true; }

    win32::Button* button = nullptr;
    std::function<void()> onPoke;  // runs inside a message of the window

  protected:
    void CreateControls() override {
        button = &Add<win32::Button>(L"&Go", win32::TwipRect{1440, 720, 1440, 360});
    }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg != WM_APP + 7) return std::nullopt;
        onPoke();
        return 0;
    }

  private:
    static win32::FormDesign Design() {
        win32::FormDesign d;
        d.caption = L"Form test";
        d.clientWidth = 4320;
        d.clientHeight = 2880;
        return d;
    }
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
    form.reset();
    EXPECT_TRUE(gone);
}

TEST(Form, AnObjectReleasedInsideItsOwnMessageGoesOnlyWhenThatMessageHasReturned) {
    bool gone = false;
    auto form = win32::MakeForm<TestForm>(&gone);
    ASSERT_TRUE(form->Load());
    TestForm* raw = form.get();
    const HWND hwnd = raw->hWnd();
    raw->onPoke = [&] {
        form.reset();  // the reference goes, as when the effect window ends
        EXPECT_FALSE(gone);
        raw->Unload();  // nested messages for the same window, WM_NCDESTROY among them
        EXPECT_FALSE(gone);
        EXPECT_EQ(nullptr, raw->hWnd());
    };
    SendMessageW(hwnd, WM_APP + 7, 0, 0);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(IsWindow(hwnd));

    bool idleGone = false;
    auto idle = win32::MakeForm<TestForm>(&idleGone);
    ASSERT_TRUE(idle->Load());
    const HWND idleWindow = idle->hWnd();
    idle.reset();  // nothing of it running: window and object go at once
    EXPECT_TRUE(idleGone);
    EXPECT_FALSE(IsWindow(idleWindow));
}

}  // namespace

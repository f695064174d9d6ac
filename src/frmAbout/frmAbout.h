// The information window: product name, pictures, animation clip, sound, licence and home page
// links, and the way into the desktop effect.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <win32/form.h>
#include <win32/hot_spot.h>
#include <win32/label.h>
#include <win32/link.h>
#include <win32/media.h>

namespace tessaro {

// No public site yet: a reserved example address until there is one.
inline constexpr const wchar_t* kHomePage = L"http://tessaro.example.org";

class frmAbout : public win32::Form {
  public:
    // productName: shown at the top; runEffect: shows the desktop effect modally.
    frmAbout(std::wstring productName, std::function<void()> runEffect);

    win32::Link* Label4 = nullptr;
    win32::Link* Label3 = nullptr;
    win32::Label* Label2 = nullptr;
    win32::HotSpot* Label1 = nullptr;
    win32::Label* lblVersione = nullptr;
    win32::Label* Label5 = nullptr;
    win32::Label* Label6 = nullptr;
    win32::Animation* Animation1 = nullptr;
    win32::Link* Label8 = nullptr;
    win32::Label* Label7 = nullptr;
    win32::Picture* Image2 = nullptr;
    win32::Picture* Image1 = nullptr;

  protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_KeyUp(std::int16_t KeyCode, std::int16_t Shift) override;

  private:
    void Label1_Click();
    void Label3_Click();
    void Label4_Click();
    void Label8_Click();

    std::wstring productName_;
    std::function<void()> runEffect_;
};

}  // namespace tessaro

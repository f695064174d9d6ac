// The information window: product name, pictures, animation clip, sound, licence and home page
// links, and the way into the desktop effect.
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/form.h"

namespace tessaro {

// No public site yet: a reserved example address until there is one.
inline constexpr const wchar_t* kHomePage = L"http://tessaro.example.org";

class frmAbout : public platform::Form {
  public:
    frmAbout();

    platform::Animation* Animation1 = nullptr;
    platform::Label* Label7 = nullptr;
    platform::Label* Label8 = nullptr;
    platform::Label* Label6 = nullptr;
    platform::Picture* Image2 = nullptr;
    platform::Label* Label5 = nullptr;
    platform::Label* lblVersione = nullptr;
    platform::Label* Label1 = nullptr;
    platform::Label* Label2 = nullptr;
    platform::Label* Label3 = nullptr;
    platform::Label* Label4 = nullptr;
    platform::Picture* Image1 = nullptr;

  protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_KeyUp(std::int16_t KeyCode, std::int16_t Shift) override;

  private:
    void Label1_Click();
    void Label3_Click();
    void Label4_Click();
    void Label8_Click();
};

}  // namespace tessaro

// The full-screen desktop effect window: it copies the screen onto itself and keeps moving random
// blocks of that picture by small offsets until the user clicks or types.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include <frmGraphics/persistent_picture.h>
#include <frmGraphics/presets.h>
#include <frmGraphics/random.h>
#include <win32/form.h>
#include <win32/scoped_handles.h>

namespace tessaro {

class frmGraphics : public win32::Form {
  public:
    // ef: the preset, read when the window loads; onEnd: called when the effect has ended, just
    // before the window unloads itself.
    frmGraphics(std::int16_t ef, std::function<void()> onEnd);

    // Passes of the effect loop so far, for the benchmark.
    std::uint64_t Iterations() const { return iterations_; }

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_KeyPress(std::int16_t& KeyAscii) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Form_Click();
    void doeffect();

    // The window's drawing surface: its persistent picture while AutoRedraw is on, the window
    // itself once it is off.
    HDC hDC();
    void SetAutoRedraw(bool on);
    void Paint();

    std::int16_t ef;
    std::function<void()> onEnd_;
    HDC hdcScreen = nullptr;
    std::int16_t blnRunning = 0;
    effect::EffectParameters parameters_;  // intRangeX, intRangeY, ... intBlockHeight

    effect::RandomGenerator random_;
    bool effectStarted_ = false;  // once per showing, whatever activations follow
    bool autoRedraw_ = true;
    // A button press seen on this window, so that a release alone is no click.
    bool buttonDown_ = false;
    std::uint64_t iterations_ = 0;

    // AutoRedraw's picture: the window paints from it, with AutoRedraw on or off.
    effect::PersistentPicture picture_;
    // The window's own DC, held from the first use with AutoRedraw off until the window goes.
    std::optional<win32::WindowDc> windowDc_;
};

}  // namespace tessaro

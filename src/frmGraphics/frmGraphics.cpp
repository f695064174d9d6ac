#include "frmGraphics/frmGraphics.h"

namespace tessaro {

namespace {

platform::FormDesign EffectDesign() {
    platform::FormDesign d;
    d.border = platform::BorderStyle::kNone;
    d.clientWidth = 4800;
    d.clientHeight = 3000;
    d.backColor = RGB(0, 0, 0);
    d.dialogNavigation = false;
    return d;
}

}  // namespace

frmGraphics::frmGraphics() : platform::Form(EffectDesign()) {}

}  // namespace tessaro

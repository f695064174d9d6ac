#include "frmAbout/frmAbout.h"

namespace tessaro {

namespace {

platform::FormDesign AboutDesign() {
    platform::FormDesign d;
    d.clientWidth = 6135;
    d.clientHeight = 3180;
    d.position = POINT{2340, 1650};
    d.dialogNavigation = false;
    return d;
}

}  // namespace

frmAbout::frmAbout() : platform::Form(AboutDesign()) {}

}  // namespace tessaro

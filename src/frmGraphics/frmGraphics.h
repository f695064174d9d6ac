// The full-screen desktop effect window.
#pragma once

#include <cstdint>

#include "frmGraphics/presets.h"
#include "platform/form.h"

namespace tessaro {

class frmGraphics : public platform::Form {
  public:
    frmGraphics();

    std::int16_t ef = 0;  // preset number, read once when the window loads
};

}  // namespace tessaro

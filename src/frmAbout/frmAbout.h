// The information window.
#pragma once

#include "platform/form.h"

namespace tessaro {

class frmAbout : public platform::Form {
  public:
    frmAbout();
};

}  // namespace tessaro

// The program's global window references, one per window class. Using one while it is empty
// creates a new window object.
#pragma once

#include "Form1/Form1.h"
#include "frmAbout/frmAbout.h"
#include "frmGraphics/frmGraphics.h"
#include "win32/form.h"

namespace tessaro::ref {

extern win32::FormRef<tessaro::Form1> Form1;
extern win32::FormRef<tessaro::frmAbout> frmAbout;
extern win32::FormRef<tessaro::frmGraphics> frmGraphics;

}  // namespace tessaro::ref

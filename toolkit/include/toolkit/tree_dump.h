// A host window's control tree as text, one line a control, for the gallery's tests and the
// program's development state dump to read back.
#pragma once

#include <string>

#include "toolkit/host.h"

namespace toolkit {

// The window and every control, one line each (UTF-8):
//   window <width> <height> scale <s> at <screen x> <screen y> layout <width> <height>
//   <depth> <class> name=<name> rect=<x>,<y>,<w>,<h> shown=<0|1> enabled=<0|1>
//       state=<normal|hover|pushed|disabled> focus=<0|1> [value=<progress>] text=<text>
// The window's size is in device pixels (`scale` times its body), its place on the screen as
// given; the controls' rectangles are layout pixels.
std::string DumpTree(const SHostWnd& host, float scale, int screenX, int screenY);

}  // namespace toolkit

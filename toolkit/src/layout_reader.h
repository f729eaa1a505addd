// Reading a layout node into the control tree (internal).
#pragma once

#include <pugixml.hpp>

namespace toolkit {

class SWindow;

// Gives `window` the attributes (its style class's first), text and children of `node`, using
// the window's context for styles, control classes and diagnostics.
void InitFromXml(SWindow* window, pugi::xml_node node);

}  // namespace toolkit

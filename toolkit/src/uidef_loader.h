// Reading layouts and definitions into the tree (internal to the toolkit).
#pragma once

#include <pugixml.hpp>

namespace toolkit {

class SApplication;
class SWindow;

// Reads the colours, default font, skins and styles of a definition document's root node.
void ReadUiDef(SApplication& app, pugi::xml_node root);
// Gives `window` the attributes (its style class's first), text and children of `node`.
void InitFromXml(SWindow* window, pugi::xml_node node);

}  // namespace toolkit

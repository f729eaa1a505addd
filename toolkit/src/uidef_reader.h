// Reading a definition document ("uidef:xml_init") into the definitions (internal).
#pragma once

#include <pugixml.hpp>

namespace toolkit {

class DiagnosticLog;
class IResProvider;
class SUiDef;

// Reads the colours, default font, skins and styles of a definition document's root node;
// `resources` supplies the pictures of image skins.
void ReadUiDef(pugi::xml_node root, SUiDef& def, const IResProvider* resources, DiagnosticLog& log);

}  // namespace toolkit

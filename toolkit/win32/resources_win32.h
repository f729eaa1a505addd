// The program's own resources by the names the layouts use: "TYPE:NAME" ("LAYOUT:XML_MAINWND",
// "uidef:xml_init", "rtf:rtf_agreement", "LOGO:32"), and pictures of type IMG.MAIN in the
// variant made for a scale ("<name>", "<name>@1.5x", "<name>@2x").
#pragma once

#include <optional>
#include <string>

namespace toolkit {

// The bytes of resource "TYPE:NAME" of the program; nothing when absent or malformed.
std::optional<std::string> FindResourceBytes(const std::string& key);

struct PictureBytes {
  std::string png;
  float density = 1;  // device pixels per layout pixel the picture was made for
};

// The IMG.MAIN picture `name` (with or without the "IMG.MAIN:" prefix) in the smallest variant
// that is at least `scale` times its size, else the largest there is.
std::optional<PictureBytes> FindPicture(const std::string& name, float scale);

}  // namespace toolkit

#include "uidef_reader.h"

#include "toolkit/diagnostics.h"
#include "toolkit/resources.h"
#include "toolkit/style.h"

namespace toolkit {
namespace {

std::wstring W(const char* utf8) {
  return Utf8ToWide(utf8);
}

// What the reading functions share: where definitions go, the pictures and the log.
struct Reader {
  SUiDef& def;
  const IResProvider* resources;
  DiagnosticLog& log;
};

bool ReadColor(Reader& reader, pugi::xml_node node, const char* attr, Color* out) {
  auto a = node.attribute(attr);
  if (!a)
    return false;
  auto value = reader.def.Resolve(W(a.value()));
  auto color = ParseColor(value);
  if (!color) {
    reader.log.Report(
        Diagnostic::kBadValue,
        L"attribute \"" + W(attr) + L"\" has the malformed colour \"" + W(a.value()) + L"\"", node);
    return false;
  }
  *out = *color;
  return true;
}

bool ReadNumber(Reader& reader, pugi::xml_node node, const char* attr, float* out) {
  auto a = node.attribute(attr);
  if (!a)
    return false;
  auto value = ParseFloat(W(a.value()));
  if (!value) {
    reader.log.Report(
        Diagnostic::kBadValue,
        L"attribute \"" + W(attr) + L"\" has the malformed number \"" + W(a.value()) + L"\"", node);
    return false;
  }
  *out = *value;
  return true;
}

void ReadColorSkin(Reader& reader, pugi::xml_node node) {
  ColorSkinDesc desc;
  desc.normal = Color{0, 0, 0, 0};
  ReadColor(reader, node, "normal", &desc.normal);
  desc.hover = desc.pushed = desc.disabled = desc.checked = desc.normal;
  ReadColor(reader, node, "hover", &desc.hover);
  desc.pushed = desc.hover;
  ReadColor(reader, node, "pushed", &desc.pushed);
  ReadColor(reader, node, "disabled", &desc.disabled);
  ReadColor(reader, node, "checked", &desc.checked);
  ReadColor(reader, node, "border", &desc.border);
  ReadColor(reader, node, "shadowColor", &desc.shadowColor);
  ReadNumber(reader, node, "borderWidth", &desc.borderWidth);
  ReadNumber(reader, node, "radius", &desc.radius);
  ReadNumber(reader, node, "shadow", &desc.shadow);
  desc.ellipse = node.attribute("ellipse").as_bool();
  reader.def.AddSkin(MakeColorSkin(W(node.attribute("name").value()), desc));
}

void ReadImageSkin(Reader& reader, pugi::xml_node node) {
  ImageSkinDesc desc;
  desc.src = W(node.attribute("src").value());
  ReadNumber(reader, node, "width", &desc.width);
  ReadNumber(reader, node, "height", &desc.height);
  if (auto ink = node.attribute("ink")) {
    std::string value = ink.value();
    if (value == "light")
      desc.ink = ImageSkinDesc::Ink::kLight;
    else if (value == "dark")
      desc.ink = ImageSkinDesc::Ink::kDark;
    else
      reader.log.Report(Diagnostic::kBadValue,
                        L"attribute \"ink\" is \"" + W(ink.value()) + L"\", not light or dark",
                        node);
  }
  const IResProvider* resources = reader.resources;
  if (!resources || !resources->HasResource(ResName::Parse(desc.src, L"IMG.MAIN"))) {
    reader.log.Report(Diagnostic::kMissingImage, L"missing image \"" + desc.src + L"\"", node);
  }
  reader.def.AddSkin(MakeImageSkin(W(node.attribute("name").value()), desc, resources));
}

}  // namespace

void ReadUiDef(pugi::xml_node root, SUiDef& def, const IResProvider* resources,
               DiagnosticLog& log) {
  Reader reader{def, resources, log};
  for (auto node : root.children()) {
    std::string name = node.name();
    reader.log.SetCurrentNode(node);
    if (name == "font") {
      auto font = ParseFont(L"face:" + W(node.attribute("face").as_string("Microsoft YaHei")) +
                                L",size:" + W(node.attribute("size").as_string("12")),
                            def.defaultFont);
      if (font)
        def.defaultFont = *font;
      else
        reader.log.Report(Diagnostic::kBadValue, L"malformed default font", node);
    } else if (name == "colors") {
      for (auto attr : node.attributes()) {
        auto color = ParseColor(W(attr.value()));
        if (color)
          def.SetColor(W(attr.name()), *color);
        else
          reader.log.Report(Diagnostic::kBadValue,
                            L"colour \"" + W(attr.name()) + L"\" has the malformed value \"" +
                                W(attr.value()) + L"\"",
                            node);
      }
    } else if (name == "skins") {
      for (auto skin : node.children()) {
        std::string kind = skin.name();
        if (kind == "colorskin")
          ReadColorSkin(reader, skin);
        else if (kind == "imgskin")
          ReadImageSkin(reader, skin);
        else
          reader.log.Report(Diagnostic::kUnknownClass,
                            L"unknown skin class \"" + W(skin.name()) + L"\"", skin);
      }
    } else if (name == "styles") {
      for (auto cls : node.children("class")) {
        SUiDef::Attributes attributes;
        for (auto attr : cls.attributes()) {
          if (std::string(attr.name()) != "name")
            attributes.emplace_back(W(attr.name()), W(attr.value()));
        }
        def.AddStyle(W(cls.attribute("name").value()), std::move(attributes));
      }
    } else if (node.type() == pugi::node_element) {
      reader.log.Report(Diagnostic::kUnknownClass,
                        L"unknown definition \"" + W(node.name()) + L"\"", node);
    }
  }
}

}  // namespace toolkit

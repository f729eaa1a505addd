#include <cwctype>

#include "toolkit/application.h"
#include "toolkit/resources.h"
#include "toolkit/swindow.h"
#include "uidef_loader.h"

namespace toolkit {
namespace {

std::wstring W(const char* utf8) {
  return Utf8ToWide(utf8);
}

std::wstring TrimText(const std::wstring& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::iswspace(static_cast<wint_t>(text[begin])))
    ++begin;
  while (end > begin && std::iswspace(static_cast<wint_t>(text[end - 1])))
    --end;
  return text.substr(begin, end - begin);
}

bool ReadColor(SApplication& app, pugi::xml_node node, const char* attr, Color* out) {
  auto a = node.attribute(attr);
  if (!a)
    return false;
  auto value = app.GetUiDef().Resolve(W(a.value()));
  auto color = ParseColor(value);
  if (!color) {
    app.Report(Diagnostic::kBadValue,
               L"attribute \"" + W(attr) + L"\" has the malformed colour \"" + W(a.value()) + L"\"",
               node);
    return false;
  }
  *out = *color;
  return true;
}

bool ReadNumber(SApplication& app, pugi::xml_node node, const char* attr, float* out) {
  auto a = node.attribute(attr);
  if (!a)
    return false;
  auto value = ParseFloat(W(a.value()));
  if (!value) {
    app.Report(Diagnostic::kBadValue,
               L"attribute \"" + W(attr) + L"\" has the malformed number \"" + W(a.value()) + L"\"",
               node);
    return false;
  }
  *out = *value;
  return true;
}

void ReadColorSkin(SApplication& app, pugi::xml_node node) {
  ColorSkinDesc desc;
  desc.normal = Color{0, 0, 0, 0};
  ReadColor(app, node, "normal", &desc.normal);
  desc.hover = desc.pushed = desc.disabled = desc.checked = desc.normal;
  ReadColor(app, node, "hover", &desc.hover);
  desc.pushed = desc.hover;
  ReadColor(app, node, "pushed", &desc.pushed);
  ReadColor(app, node, "disabled", &desc.disabled);
  ReadColor(app, node, "checked", &desc.checked);
  ReadColor(app, node, "border", &desc.border);
  ReadColor(app, node, "shadowColor", &desc.shadowColor);
  ReadNumber(app, node, "borderWidth", &desc.borderWidth);
  ReadNumber(app, node, "radius", &desc.radius);
  ReadNumber(app, node, "shadow", &desc.shadow);
  desc.ellipse = node.attribute("ellipse").as_bool();
  app.GetUiDef().AddSkin(MakeColorSkin(W(node.attribute("name").value()), desc));
}

void ReadImageSkin(SApplication& app, pugi::xml_node node) {
  ImageSkinDesc desc;
  desc.src = W(node.attribute("src").value());
  ReadNumber(app, node, "width", &desc.width);
  ReadNumber(app, node, "height", &desc.height);
  const IResProvider* resources = app.GetResProvider();
  if (!resources || !resources->HasResource(ResName::Parse(desc.src, L"IMG.MAIN"))) {
    app.Report(Diagnostic::kMissingImage, L"missing image \"" + desc.src + L"\"", node);
  }
  app.GetUiDef().AddSkin(MakeImageSkin(W(node.attribute("name").value()), desc, resources));
}

}  // namespace

void ReadUiDef(SApplication& app, pugi::xml_node root) {
  SUiDef& def = app.GetUiDef();
  for (auto node : root.children()) {
    std::string name = node.name();
    app.SetCurrentNode(node);
    if (name == "font") {
      auto font = ParseFont(L"face:" + W(node.attribute("face").as_string("Microsoft YaHei")) +
                                L",size:" + W(node.attribute("size").as_string("12")),
                            def.defaultFont);
      if (font)
        def.defaultFont = *font;
      else
        app.Report(Diagnostic::kBadValue, L"malformed default font", node);
    } else if (name == "colors") {
      for (auto attr : node.attributes()) {
        auto color = ParseColor(W(attr.value()));
        if (color)
          def.SetColor(W(attr.name()), *color);
        else
          app.Report(Diagnostic::kBadValue,
                     L"colour \"" + W(attr.name()) + L"\" has the malformed value \"" +
                         W(attr.value()) + L"\"",
                     node);
      }
    } else if (name == "skins") {
      for (auto skin : node.children()) {
        std::string kind = skin.name();
        if (kind == "colorskin")
          ReadColorSkin(app, skin);
        else if (kind == "imgskin")
          ReadImageSkin(app, skin);
        else
          app.Report(Diagnostic::kUnknownClass, L"unknown skin class \"" + W(skin.name()) + L"\"",
                     skin);
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
      app.Report(Diagnostic::kUnknownClass, L"unknown definition \"" + W(node.name()) + L"\"",
                 node);
    }
  }
}

void InitFromXml(SWindow* window, pugi::xml_node node) {
  SApplication* app = SApplication::getSingletonPtr();
  app->SetCurrentNode(node);
  if (auto cls = node.attribute("class")) {
    if (const auto* style = app->GetUiDef().FindStyle(W(cls.value()))) {
      for (const auto& [name, value] : *style) {
        if (!window->SetAttribute(name, value, true)) {
          app->Report(
              Diagnostic::kUnknownAttribute,
              L"style \"" + W(cls.value()) + L"\" sets the unknown attribute \"" + name + L"\"",
              node);
        }
      }
    } else {
      app->Report(Diagnostic::kMissingSkin, L"no style class \"" + W(cls.value()) + L"\"", node);
    }
  }
  for (auto attr : node.attributes()) {
    std::wstring name = W(attr.name());
    if (name == L"class")
      continue;
    if (!window->SetAttribute(name, W(attr.value()), true)) {
      app->Report(Diagnostic::kUnknownAttribute,
                  L"unknown attribute \"" + name + L"\" on <" + W(node.name()) + L">", node);
    }
  }
  std::wstring text = TrimText(W(node.child_value()));
  if (!text.empty())
    window->SetWindowText(text);
  window->CreateChildren(node);
  window->OnInitFinished();
}

void SWindow::CreateChildren(pugi::xml_node node) {
  SApplication* app = SApplication::getSingletonPtr();
  for (auto child : node.children()) {
    if (child.type() != pugi::node_element)
      continue;
    std::wstring cls = W(child.name());
    app->SetCurrentNode(child);
    if (cls == L"include") {
      std::wstring src = W(child.attribute("src").value());
      pugi::xml_document doc;
      std::string text;
      if (!app->LoadXmlText(doc, src, L"LAYOUT", &text)) {
        app->Report(Diagnostic::kMissingLayout, L"cannot include \"" + src + L"\"", child);
        continue;
      }
      SApplication::SourceScope scope(*app, ResName::Parse(src, L"LAYOUT").ToString(), &text);
      CreateChildren(doc.first_child());
      continue;
    }
    auto window = app->CreateWindowByName(cls);
    if (!window) {
      app->Report(Diagnostic::kUnknownClass, L"unknown control class \"" + cls + L"\"", child);
      continue;
    }
    SWindow* added = InsertChild(std::move(window));
    InitFromXml(added, child);
  }
}

}  // namespace toolkit

#include <cwctype>

#include <pugixml.hpp>

#include "kestrel/text.h"
#include "layout_reader.h"
#include "toolkit/resources.h"
#include "toolkit/swindow.h"
#include "toolkit/ui_context.h"

namespace toolkit {
namespace {

std::wstring W(const char* utf8) {
  return Utf8ToWide(utf8);
}

}  // namespace

std::unique_ptr<SWindow> UiContext::CreateWindowByName(const std::wstring& className) const {
  const WindowFactory* factory = FindFactory(className);
  return factory ? (*factory)() : nullptr;
}

void InitFromXml(SWindow* window, pugi::xml_node node) {
  UiContext* context = window->GetContext();
  if (!context)
    return;
  DiagnosticLog& log = context->Diagnostics();
  log.SetCurrentNode(node);
  if (auto cls = node.attribute("class")) {
    if (const auto* style = context->GetUiDef().FindStyle(W(cls.value()))) {
      for (const auto& [name, value] : *style) {
        if (!window->SetAttribute(name, value, true)) {
          log.Report(
              Diagnostic::kUnknownAttribute,
              L"style \"" + W(cls.value()) + L"\" sets the unknown attribute \"" + name + L"\"",
              node);
        }
      }
    } else {
      log.Report(Diagnostic::kMissingSkin, L"no style class \"" + W(cls.value()) + L"\"", node);
    }
  }
  for (auto attr : node.attributes()) {
    std::wstring name = W(attr.name());
    if (name == L"class")
      continue;
    if (!window->SetAttribute(name, W(attr.value()), true)) {
      log.Report(Diagnostic::kUnknownAttribute,
                 L"unknown attribute \"" + name + L"\" on <" + W(node.name()) + L">", node);
    }
  }
  std::wstring text = kestrel::TrimWhiteSpace(W(node.child_value()));
  if (!text.empty())
    window->SetWindowText(text);
  window->CreateChildren(node);
  window->OnInitFinished();
}

void SWindow::CreateChildren(pugi::xml_node node) {
  UiContext* context = GetContext();
  if (!context)
    return;
  DiagnosticLog& log = context->Diagnostics();
  for (auto child : node.children()) {
    if (child.type() != pugi::node_element)
      continue;
    std::wstring cls = W(child.name());
    log.SetCurrentNode(child);
    if (cls == L"include") {
      std::wstring src = W(child.attribute("src").value());
      pugi::xml_document doc;
      std::string text;
      if (!context->LoadXmlText(doc, src, L"LAYOUT", &text)) {
        log.Report(Diagnostic::kMissingLayout, L"cannot include \"" + src + L"\"", child);
        continue;
      }
      DiagnosticLog::SourceScope scope(log, ResName::Parse(src, L"LAYOUT").ToString(), &text);
      CreateChildren(doc.first_child());
      continue;
    }
    auto window = context->CreateWindowByName(cls);
    if (!window) {
      log.Report(Diagnostic::kUnknownClass, L"unknown control class \"" + cls + L"\"", child);
      continue;
    }
    SWindow* added = InsertChild(std::move(window));
    InitFromXml(added, child);
  }
}

}  // namespace toolkit

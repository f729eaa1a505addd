#include "toolkit/ui_context.h"

#include <algorithm>

#include <pugixml.hpp>

#include "uidef_reader.h"

namespace toolkit {
namespace {

class ProviderChain : public IResProvider {
 public:
  explicit ProviderChain(const std::vector<std::unique_ptr<IResProvider>>& providers)
      : providers_(providers) {}
  bool HasResource(const ResName& res) const override {
    for (const auto& provider : providers_) {
      if (provider->HasResource(res))
        return true;
    }
    return false;
  }
  std::optional<std::string> GetRawBuffer(const ResName& res) const override {
    for (auto it = providers_.rbegin(); it != providers_.rend(); ++it) {
      if (auto bytes = (*it)->GetRawBuffer(res))
        return bytes;
    }
    return std::nullopt;
  }

 private:
  const std::vector<std::unique_ptr<IResProvider>>& providers_;
};

}  // namespace

UiContext::UiContext(INativePlatform* platform)
    : platform_(platform), chain_(std::make_unique<ProviderChain>(providers_)) {}

bool UiContext::RefreshSystemColors() {
  std::optional<SystemColors> now =
      platform_ ? platform_->HighContrastColors() : std::optional<SystemColors>();
  auto same = [](Color a, Color b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; };
  bool changed = now.has_value() != highContrast_.has_value();
  if (!changed && now) {
    const SystemColors& a = *now;
    const SystemColors& b = *highContrast_;
    changed = !same(a.window, b.window) || !same(a.windowText, b.windowText) ||
              !same(a.highlight, b.highlight) || !same(a.highlightText, b.highlightText) ||
              !same(a.grayText, b.grayText) || !same(a.hotLight, b.hotLight) ||
              !same(a.buttonFace, b.buttonFace) || !same(a.buttonText, b.buttonText);
  }
  highContrast_ = now;
  return changed;
}

UiContext::~UiContext() {
  dispatchDepth_ = 0;
  LeaveDispatch();
}

void UiContext::AddResProvider(std::unique_ptr<IResProvider> provider, const std::wstring& uidef) {
  providers_.push_back(std::move(provider));
  if (!uidef.empty())
    LoadUiDef(uidef);
}

const IResProvider* UiContext::GetResProvider() const {
  return chain_.get();
}

std::optional<std::string> UiContext::LoadRawResource(const std::wstring& name,
                                                      const std::wstring& defaultType) const {
  return chain_->GetRawBuffer(ResName::Parse(name, defaultType));
}

bool UiContext::LoadXmlDocment(pugi::xml_document& doc, const std::wstring& name,
                               const std::wstring& defaultType) {
  std::string text;
  return LoadXmlText(doc, name, defaultType, &text);
}

bool UiContext::LoadXmlText(pugi::xml_document& doc, const std::wstring& name,
                            const std::wstring& defaultType, std::string* text) {
  auto bytes = LoadRawResource(name, defaultType);
  if (!bytes) {
    diagnostics_.Report(Diagnostic::kMissingLayout, L"no resource named \"" + name + L"\"");
    return false;
  }
  *text = *bytes;
  auto result =
      doc.load_buffer(text->data(), text->size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) {
    int line =
        1 + static_cast<int>(std::count(
                text->begin(),
                text->begin() + std::min<std::ptrdiff_t>(result.offset,
                                                         static_cast<std::ptrdiff_t>(text->size())),
                '\n'));
    diagnostics_.Add({Diagnostic::kBrokenXml, ResName::Parse(name, defaultType).ToString(), line,
                      L"broken XML: " + Utf8ToWide(result.description())});
    return false;
  }
  return true;
}

bool UiContext::LoadUiDef(const std::wstring& name) {
  pugi::xml_document doc;
  std::string text;
  if (!LoadXmlText(doc, name, L"UIDEF", &text))
    return false;
  DiagnosticLog::SourceScope scope(diagnostics_, ResName::Parse(name, L"UIDEF").ToString(), &text);
  ReadUiDef(doc.first_child(), uidef_, GetResProvider(), diagnostics_);
  return true;
}

void UiContext::SetMsgTemplate(pugi::xml_node node) {
  msgTemplate_ = std::make_unique<pugi::xml_document>();
  msgTemplate_->append_copy(node);
}

pugi::xml_node UiContext::GetMsgTemplate() const {
  return msgTemplate_ ? msgTemplate_->first_child() : pugi::xml_node();
}

void UiContext::RegisterFactory(const std::wstring& className, WindowFactory factory) {
  for (auto& [name, existing] : factories_) {
    if (name == className) {
      existing = std::move(factory);
      return;
    }
  }
  factories_.emplace_back(className, std::move(factory));
}

const WindowFactory* UiContext::FindFactory(const std::wstring& className) const {
  for (const auto& [name, factory] : factories_) {
    if (name == className)
      return &factory;
  }
  return nullptr;
}

void UiContext::DeleteLater(std::function<void()> deleter) {
  if (dispatchDepth_ > 0) {
    deleteLater_.push_back(std::move(deleter));
  } else {
    deleter();
  }
}

void UiContext::LeaveDispatch() {
  if (dispatchDepth_ > 0)
    --dispatchDepth_;
  while (dispatchDepth_ == 0 && !deleteLater_.empty()) {
    auto pending = std::move(deleteLater_);
    deleteLater_.clear();
    for (auto& deleter : pending)
      deleter();
  }
}

}  // namespace toolkit

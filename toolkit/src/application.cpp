#include "toolkit/application.h"

#include <algorithm>

#include <pugixml.hpp>

#include "toolkit/controls.h"
#include "toolkit/host.h"
#include "toolkit/listview.h"
#include "uidef_loader.h"

namespace toolkit {
namespace {

SApplication* g_app = nullptr;

template <class T>
WindowFactory Factory() {
  return [] { return std::unique_ptr<SWindow>(new T()); };
}

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

std::wstring Diagnostic::ToString() const {
  return layout + L":" + std::to_wstring(line) + L": " + message;
}

SApplication::SApplication(INativePlatform* platform)
    : platform_(platform), chain_(std::make_unique<ProviderChain>(providers_)) {
  g_app = this;
  factories_ = {
      {SWindow::GetClassName(), Factory<SWindow>()},
      {SStatic::GetClassName(), Factory<SStatic>()},
      {SButton::GetClassName(), Factory<SButton>()},
      {SLink::GetClassName(), Factory<SLink>()},
      {SCheckBox::GetClassName(), Factory<SCheckBox>()},
      {SImageWnd::GetClassName(), Factory<SImageWnd>()},
      {STabCtrl::GetClassName(), Factory<STabCtrl>()},
      {STabPage::GetClassName(), Factory<STabPage>()},
      {SProgress::GetClassName(), Factory<SProgress>()},
      {SSliderBar::GetClassName(), Factory<SSliderBar>()},
      {SEdit::GetClassName(), Factory<SEdit>()},
      {SBusyIndicator::GetClassName(), Factory<SBusyIndicator>()},
      {SRichEdit::GetClassName(), Factory<SRichEdit>()},
      {SRealWnd::GetClassName(), Factory<SRealWnd>()},
      {SListView::GetClassName(), Factory<SListView>()},
  };
}

SApplication::~SApplication() {
  dispatchDepth_ = 0;
  LeaveDispatch();
  if (g_app == this)
    g_app = nullptr;
}

SApplication* SApplication::getSingletonPtr() {
  return g_app;
}

void SApplication::AddResProvider(std::unique_ptr<IResProvider> provider,
                                  const std::wstring& uidef) {
  providers_.push_back(std::move(provider));
  if (!uidef.empty())
    LoadUiDef(uidef);
}

const IResProvider* SApplication::GetResProvider() const {
  return chain_.get();
}

std::optional<std::string> SApplication::LoadRawResource(const std::wstring& name,
                                                         const std::wstring& defaultType) const {
  return chain_->GetRawBuffer(ResName::Parse(name, defaultType));
}

bool SApplication::LoadXmlDocment(pugi::xml_document& doc, const std::wstring& name,
                                  const std::wstring& defaultType) {
  std::string text;
  return LoadXmlText(doc, name, defaultType, &text);
}

bool SApplication::LoadXmlText(pugi::xml_document& doc, const std::wstring& name,
                               const std::wstring& defaultType, std::string* text) {
  auto bytes = LoadRawResource(name, defaultType);
  if (!bytes) {
    Report(Diagnostic::kMissingLayout, L"no resource named \"" + name + L"\"");
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
    diagnostics_.push_back({Diagnostic::kBrokenXml, ResName::Parse(name, defaultType).ToString(),
                            line, L"broken XML: " + Utf8ToWide(result.description())});
    return false;
  }
  return true;
}

bool SApplication::LoadUiDef(const std::wstring& name) {
  pugi::xml_document doc;
  std::string text;
  if (!LoadXmlText(doc, name, L"UIDEF", &text))
    return false;
  SourceScope scope(*this, ResName::Parse(name, L"UIDEF").ToString(), &text);
  ReadUiDef(*this, doc.first_child());
  return true;
}

void SApplication::SetMsgTemplate(pugi::xml_node node) {
  msgTemplate_ = std::make_unique<pugi::xml_document>();
  msgTemplate_->append_copy(node);
}

pugi::xml_node SApplication::GetMsgTemplate() const {
  return msgTemplate_ ? msgTemplate_->first_child() : pugi::xml_node();
}

void SApplication::RegisterFactory(const std::wstring& className, WindowFactory factory) {
  for (auto& [name, existing] : factories_) {
    if (name == className) {
      existing = std::move(factory);
      return;
    }
  }
  factories_.emplace_back(className, std::move(factory));
}

std::unique_ptr<SWindow> SApplication::CreateWindowByName(const std::wstring& className) const {
  for (const auto& [name, factory] : factories_) {
    if (name == className)
      return factory();
  }
  return nullptr;
}

int SApplication::Run(SHostWnd* mainWindow) {
  if (mainWindow)
    mainWindow->ShowWindow(true);
  return platform_->RunMessageLoop();
}

void SApplication::Quit(int code) {
  platform_->Quit(code);
}

int SApplication::LineOf(pugi::xml_node node) const {
  if (sources_.empty() || !sources_.back().text || !node)
    return 0;
  const std::string& text = *sources_.back().text;
  auto offset = node.offset_debug();
  if (offset < 0 || static_cast<size_t>(offset) > text.size())
    return 0;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

void SApplication::Report(Diagnostic::Kind kind, const std::wstring& message, pugi::xml_node node) {
  std::wstring layout = sources_.empty() ? L"(run time)" : sources_.back().name;
  diagnostics_.push_back({kind, layout, LineOf(node), message});
}

void SApplication::Report(Diagnostic::Kind kind, const std::wstring& message) {
  std::wstring layout = sources_.empty() ? L"(run time)" : sources_.back().name;
  diagnostics_.push_back({kind, layout, sources_.empty() ? 0 : sources_.back().line, message});
}

SApplication::SourceScope::SourceScope(SApplication& app, const std::wstring& name,
                                       const std::string* text)
    : app_(app) {
  app_.sources_.push_back({name, text, 0});
}

SApplication::SourceScope::~SourceScope() {
  app_.sources_.pop_back();
}

void SApplication::SetCurrentNode(pugi::xml_node node) {
  if (!sources_.empty())
    sources_.back().line = LineOf(node);
}

void SApplication::DeleteLater(std::function<void()> deleter) {
  if (dispatchDepth_ > 0) {
    deleteLater_.push_back(std::move(deleter));
  } else {
    deleter();
  }
}

void SApplication::LeaveDispatch() {
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

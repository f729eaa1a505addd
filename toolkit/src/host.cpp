#include "toolkit/host.h"

#include <algorithm>

#include <pugixml.hpp>

#include "dispatch_guard.h"
#include "layout_reader.h"
#include "toolkit/ui_context.h"

namespace toolkit {

SHostWnd::SHostWnd(UiContext& context, const std::wstring& layoutName)
    : context_(context), layoutName_(layoutName) {}

SHostWnd::~SHostWnd() {
  DestroyWindow();
  if (root_ && !tornDown_)
    Detach(root_.get());
}

void SHostWnd::SetLayoutXml(pugi::xml_node node) {
  ownLayout_ = std::make_unique<pugi::xml_document>();
  ownLayout_->append_copy(node);
}

bool SHostWnd::Create(SHostWnd* owner, NativeWindowKind kind, std::uintptr_t parentHandle) {
  if (ownLayout_)
    return CreateFromXml(ownLayout_->first_child(), owner, kind, parentHandle);
  pugi::xml_document doc;
  std::string text;
  if (!layoutName_.empty())
    context_.LoadXmlText(doc, layoutName_, L"LAYOUT", &text);
  DiagnosticLog::SourceScope scope(context_.Diagnostics(),
                                   ResName::Parse(layoutName_, L"LAYOUT").ToString(), &text);
  return CreateFromXml(doc.first_child(), owner, kind, parentHandle);
}

bool SHostWnd::CreateFromXml(pugi::xml_node root, SHostWnd* owner, NativeWindowKind kind,
                             std::uintptr_t parentHandle) {
  if (native_)
    return false;
  tornDown_ = false;
  // A window opened from the keyboard keeps showing where the focus is.
  focusMark_ = owner && owner->focusMark_;
  context_.RefreshSystemColors();
  if (!BuildTree(root))
    return false;
  NativeWindowParams params;
  params.kind = kind;
  params.owner = owner ? owner->GetNative() : nullptr;
  params.parentHandle = parentHandle;
  params.translucent = translucent_;
  params.appWindow = appWindow_;
  params.bigIcon = bigIcon_;
  params.smallIcon = smallIcon_;
  native_ = context_.GetPlatform()->CreateNativeWindow(params);
  if (!native_)
    return false;
  native_->SetSink(this);
  RectF body = GetBodyRect();
  native_->SetGeometry({0, 0, body.w, body.h},
                       std::max(std::max(margin_[0], margin_[1]), std::max(margin_[2], margin_[3])),
                       cornerRadius_);
  if (!title_.empty())
    native_->SetTitle(title_);
  Attach(root_.get());
  LayoutNow();
  DispatchGuard guard(context_);
  OnInitDialog();
  return true;
}

bool SHostWnd::BuildTree(pugi::xml_node root) {
  DiagnosticLog& log = context_.Diagnostics();
  root_ = std::make_unique<SWindow>();
  root_->BindContext(&context_);
  for (auto attr : root.attributes()) {
    std::string name = attr.name();
    std::wstring value = Utf8ToWide(attr.value());
    log.SetCurrentNode(root);
    auto number = [&](float* out) {
      auto parsed = ParseFloat(value);
      if (parsed && *parsed >= 0)
        *out = *parsed;
      else
        log.Report(Diagnostic::kBadValue,
                   L"window attribute \"" + Utf8ToWide(attr.name()) +
                       L"\" has the malformed number \"" + value + L"\"",
                   root);
    };
    if (name == "width")
      number(&size_.w);
    else if (name == "height")
      number(&size_.h);
    else if (name == "radius")
      number(&cornerRadius_);
    else if (name == "caption")
      number(&captionHeight_);
    else if (name == "margin") {
      auto margin = ParseFloats(value, 4);
      if (margin)
        std::copy(margin->begin(), margin->end(), margin_);
      else
        log.Report(Diagnostic::kBadValue, L"window margin \"" + value + L"\" is not \"l,t,r,b\"",
                   root);
    } else if (name == "translucent")
      translucent_ = attr.as_bool();
    else if (name == "appWnd")
      appWindow_ = attr.as_bool();
    else if (name == "title")
      title_ = value;
    else if (name == "bigIcon")
      bigIcon_ = value;
    else if (name == "smallIcon")
      smallIcon_ = value;
    else if (name == "name" || name == "resizable" || name == "minsize")
      continue;
    else
      log.Report(Diagnostic::kUnknownAttribute,
                 L"unknown window attribute \"" + Utf8ToWide(attr.name()) + L"\"", root);
  }
  pugi::xml_node content = root.child("root");
  if (content)
    InitFromXml(root_.get(), content);
  return true;
}

void SHostWnd::Attach(SWindow* window) {
  window->host_ = this;
  window->treeHost_ = this;
  for (size_t i = 0; i < window->GetChildrenCount(); ++i)
    Attach(window->GetChild(i));
  window->OnAttach(this);
  window->NotifyShown();
}

void SHostWnd::Detach(SWindow* window) {
  for (size_t i = 0; i < window->GetChildrenCount(); ++i)
    Detach(window->GetChild(i));
  window->OnDetach();
  OnControlDestroyed(window);
  window->shown_ = false;
  window->host_ = nullptr;
  window->treeHost_ = nullptr;
}

void SHostWnd::DestroyWindow() {
  if (!native_)
    return;
  if (native_->IsVisible())
    NotifyWindowShown(false);
  native_->Destroy();
  Teardown();
}

void SHostWnd::OnDestroyed() {
  DispatchGuard guard(context_);
  Teardown();
}

void SHostWnd::Teardown() {
  if (tornDown_ || !native_)
    return;
  tornDown_ = true;
  OnDestroy();
  if (root_)
    Detach(root_.get());
  timeline_.clear();
  hover_ = pressed_ = focus_ = nullptr;
  // The platform may be reporting this very destruction: delete its window afterwards.
  std::shared_ptr<INativeWindow> gone(native_.release());
  context_.DeleteLater([gone] { (void)gone; });
}

SWindow* SHostWnd::FindChildByName(const std::wstring& name, int depth) const {
  return root_ ? root_->FindChildByName(name, depth) : nullptr;
}

SWindow* SHostWnd::FindChildByID(int id, int depth) const {
  return root_ ? root_->FindChildByID(id, depth) : nullptr;
}

RectF SHostWnd::GetBodyRect() const {
  return {margin_[0], margin_[1], std::max(0.0f, size_.w - margin_[0] - margin_[2]),
          std::max(0.0f, size_.h - margin_[1] - margin_[3])};
}

void SHostWnd::ShowWindow(bool show) {
  if (!native_)
    return;
  native_->Show(show);
  NotifyWindowShown(show);
}

void SHostWnd::Minimize() {
  if (native_)
    native_->Minimize();
}

void SHostWnd::SetWindowTitle(const std::wstring& title) {
  title_ = title;
  if (native_)
    native_->SetTitle(title);
}

void SHostWnd::CenterWindow() {
  if (native_)
    native_->CenterOnScreen();
}

void SHostWnd::SetTimer(unsigned id, unsigned milliseconds) {
  if (native_)
    native_->SetTimer(id, milliseconds);
}

void SHostWnd::KillTimer(unsigned id) {
  if (native_)
    native_->KillTimer(id);
}

void SHostWnd::RegisterTimelineHandler(ITimelineHandler* handler) {
  if (std::find(timeline_.begin(), timeline_.end(), handler) == timeline_.end()) {
    timeline_.push_back(handler);
    UpdateFrames();
  }
}

void SHostWnd::UnregisterTimelineHandler(ITimelineHandler* handler) {
  auto it = std::find(timeline_.begin(), timeline_.end(), handler);
  if (it != timeline_.end()) {
    timeline_.erase(it);
    UpdateFrames();
  }
}

void SHostWnd::UpdateFrames() {
  if (native_)
    native_->RequestFrames(!timeline_.empty());
}

void SHostWnd::InvalidateRect(const RectF& rect) {
  if (native_)
    native_->Invalidate(rect);
}

void SHostWnd::RequestRelayout() {
  if (native_ && !inLayout_)
    LayoutNow();
}

void SHostWnd::LayoutNow() {
  if (!root_)
    return;
  inLayout_ = true;
  RectF body = GetBodyRect();
  root_->Layout({0, 0, body.w, body.h}, context_.GetPlatform()->MeasureRender());
  inLayout_ = false;
  if (native_)
    native_->Invalidate({0, 0, body.w, body.h});
}

void SHostWnd::OnPaint(IRender& render, const RectF& dirty) {
  DispatchGuard guard(context_);
  if (root_)
    root_->PaintTree(render, dirty);
  PaintFocusMark(render);
}

void SHostWnd::OnSystemColorsChanged() {
  DispatchGuard guard(context_);
  // Every window hears of the change; the first to ask the platform updates the shared context,
  // so each repaints whatever the answer.
  context_.RefreshSystemColors();
  RectF body = GetBodyRect();
  if (native_)
    native_->Invalidate({0, 0, body.w, body.h});
}

void SHostWnd::OnTimer(unsigned id) {
  DispatchGuard guard(context_);
  OnTimerEvent(id);
}

void SHostWnd::OnFrame(std::uint64_t milliseconds) {
  (void)milliseconds;
  DispatchGuard guard(context_);
  // A handler may unregister itself or another one while the frame runs.
  auto handlers = timeline_;
  for (ITimelineHandler* handler : handlers) {
    if (std::find(timeline_.begin(), timeline_.end(), handler) != timeline_.end()) {
      handler->OnNextFrame();
    }
  }
}

void SHostWnd::OnActivate(bool active) {
  DispatchGuard guard(context_);
  // Only the window that has the keyboard shows where its focus is.
  if (active != active_) {
    active_ = active;
    if (focus_ && focusMark_)
      InvalidateFocusMark(focus_);
  }
  OnActivateChanged(active);
}

bool SHostWnd::OnCloseRequest() {
  DispatchGuard guard(context_);
  return OnClose();
}

bool SHostWnd::OnClose() {
  return true;
}

}  // namespace toolkit

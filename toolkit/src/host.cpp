#include "toolkit/host.h"

#include <algorithm>

#include <pugixml.hpp>

#include "layout_reader.h"
#include "toolkit/ui_context.h"

namespace toolkit {
namespace {

// Every report of the platform runs inside one: windows that end themselves are deleted after.
class DispatchGuard {
 public:
  explicit DispatchGuard(UiContext& context) : context_(context) { context_.EnterDispatch(); }
  ~DispatchGuard() { context_.LeaveDispatch(); }
  DispatchGuard(const DispatchGuard&) = delete;
  DispatchGuard& operator=(const DispatchGuard&) = delete;

 private:
  UiContext& context_;
};

bool Contains(const RectF& r, PointF p) {
  return p.x >= r.x && p.x < r.x + r.w && p.y >= r.y && p.y < r.y + r.h;
}

bool IsSelfOrAncestor(const SWindow* ancestor, const SWindow* window) {
  for (; window; window = window->GetParent()) {
    if (window == ancestor)
      return true;
  }
  return false;
}

void CollectFocusable(SWindow* window, std::vector<SWindow*>* out) {
  if (!window->IsVisible() || window->IsDisabled())
    return;
  if (window->IsFocusable())
    out->push_back(window);
  for (size_t i = 0; i < window->GetChildrenCount(); ++i)
    CollectFocusable(window->GetChild(i), out);
}

SWindow* Hit(SWindow* window, PointF at) {
  for (size_t i = window->GetChildrenCount(); i-- > 0;) {
    SWindow* child = window->GetChild(i);
    if (!child->IsVisible() || !Contains(child->GetWindowRect(), at))
      continue;
    if (SWindow* deeper = Hit(child, at))
      return deeper;
    if (child->WantsMouse())
      return child;
  }
  return nullptr;
}

}  // namespace

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
}

void SHostWnd::DestroyWindow() {
  if (!native_)
    return;
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
  if (native_)
    native_->Show(show);
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

void SHostWnd::SetFocusTo(SWindow* control) {
  if (control == focus_)
    return;
  SWindow* old = focus_;
  focus_ = control;
  if (old) {
    old->OnFocusChanged(false);
    old->Invalidate();
  }
  if (focus_) {
    focus_->OnFocusChanged(true);
    focus_->Invalidate();
  }
}

void SHostWnd::MoveFocus(bool backwards) {
  if (!root_)
    return;
  std::vector<SWindow*> order;
  CollectFocusable(root_.get(), &order);
  if (order.empty())
    return;
  auto it = std::find(order.begin(), order.end(), focus_);
  size_t index;
  if (it == order.end()) {
    index = backwards ? order.size() - 1 : 0;
  } else {
    size_t at = static_cast<size_t>(it - order.begin());
    index = backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
  }
  SetFocusTo(order[index]);
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

void SHostWnd::OnControlDestroyed(SWindow* control) {
  if (hover_ == control)
    hover_ = nullptr;
  if (pressed_ == control)
    pressed_ = nullptr;
  if (focus_ == control)
    focus_ = nullptr;
}

void SHostWnd::OnControlHidden(SWindow* control) {
  if (IsSelfOrAncestor(control, hover_)) {
    hover_->OnMouseHover(false);
    hover_ = nullptr;
  }
  if (IsSelfOrAncestor(control, pressed_))
    pressed_ = nullptr;
  if (IsSelfOrAncestor(control, focus_))
    SetFocusTo(nullptr);
}

SWindow* SHostWnd::HitTest(PointF at) const {
  if (!root_ || !Contains(root_->GetWindowRect(), at))
    return nullptr;
  return Hit(root_.get(), at);
}

void SHostWnd::OnPaint(IRender& render, const RectF& dirty) {
  DispatchGuard guard(context_);
  if (root_)
    root_->PaintTree(render, dirty);
}

void SHostWnd::UpdateHover(PointF at) {
  SWindow* hit = HitTest(at);
  if (hit == hover_)
    return;
  if (hover_)
    hover_->OnMouseHover(false);
  hover_ = hit;
  if (hover_)
    hover_->OnMouseHover(true);
  if (!native_)
    return;
  native_->SetCursor(hover_ && !hover_->IsDisabled(true) ? hover_->GetCursor()
                                                         : CursorKind::kArrow);
  if (hover_ && !hover_->GetToolTipText().empty())
    native_->ShowTooltip(hover_->GetToolTipText(), at);
  else
    native_->HideTooltip();
}

void SHostWnd::OnMouseMove(PointF at) {
  DispatchGuard guard(context_);
  if (pressed_) {
    bool inside = HitTest(at) == pressed_;
    if (inside != pressed_->hover_)
      pressed_->OnMouseHover(inside);
    pressed_->OnMouseDrag(at);
    return;
  }
  UpdateHover(at);
}

void SHostWnd::OnMouseLeave() {
  DispatchGuard guard(context_);
  if (hover_ && !pressed_) {
    hover_->OnMouseHover(false);
    hover_ = nullptr;
  }
  if (native_)
    native_->HideTooltip();
}

void SHostWnd::OnMouseDown(MouseButton button, PointF at) {
  DispatchGuard guard(context_);
  if (button != MouseButton::kLeft)
    return;
  OnLButtonDown(at);
  if (!native_)
    return;
  UpdateHover(at);
  SWindow* hit = HitTest(at);
  if (!hit) {
    if (at.y < captionHeight_)
      native_->BeginDrag();
    return;
  }
  if (hit->IsDisabled(true))
    return;
  pressed_ = hit;
  native_->CaptureMouse(true);
  if (hit->IsFocusable())
    SetFocusTo(hit);
  hit->OnLButtonDown(at);
}

void SHostWnd::OnMouseUp(MouseButton button, PointF at) {
  DispatchGuard guard(context_);
  if (button != MouseButton::kLeft || !pressed_)
    return;
  SWindow* pressed = pressed_;
  pressed_ = nullptr;
  if (native_)
    native_->CaptureMouse(false);
  bool inside = HitTest(at) == pressed && !pressed->IsDisabled(true);
  pressed->OnLButtonUp(at, inside);
}

void SHostWnd::OnMouseWheel(PointF at, float notches) {
  DispatchGuard guard(context_);
  for (SWindow* window = HitTest(at); window; window = window->GetParent()) {
    if (window->OnMouseWheel(notches))
      return;
  }
}

bool SHostWnd::OnKeyEvent(const KeyEvent& key) {
  if (key.key == Key::kTab) {
    MoveFocus(key.shift);
    return true;
  }
  return focus_ && !focus_->IsDisabled(true) && focus_->OnKeyDown(key);
}

void SHostWnd::OnKey(const KeyEvent& key) {
  DispatchGuard guard(context_);
  OnKeyEvent(key);
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
  OnActivateChanged(active);
}

bool SHostWnd::OnCloseRequest() {
  DispatchGuard guard(context_);
  return OnClose();
}

bool SHostWnd::OnClose() {
  return true;
}

int SHostDialog::DoModal(SHostWnd* parent) {
  endCode_ = kDialogCancel;
  ended_ = false;
  if (!Create(parent, NativeWindowKind::kDialog))
    return -1;
  if (!ended_) {
    CenterWindow();
    ShowWindow(true);
    inModal_ = true;
    GetNative()->RunModalLoop();
    inModal_ = false;
  }
  DestroyWindow();
  return endCode_;
}

void SHostDialog::EndDialog(int code) {
  if (ended_)
    return;
  ended_ = true;
  endCode_ = code;
  if (inModal_ && GetNative())
    GetNative()->EndModalLoop(code);
}

bool SHostDialog::OnClose() {
  OnCancel();
  return false;
}

bool SHostDialog::OnKeyEvent(const KeyEvent& key) {
  if (SHostWnd::OnKeyEvent(key))
    return true;
  if (key.key == Key::kEscape) {
    OnCancel();
    return true;
  }
  return false;
}

SDropDownWnd::SDropDownWnd(UiContext& context, ISDropDownOwner* owner)
    : SHostWnd(context, L""), owner_(owner) {}

bool SDropDownWnd::Create(const RectF& rect, pugi::xml_node content) {
  SWindow* ownerControl = owner_->GetDropDownOwner();
  SHostWnd* ownerHost = ownerControl ? ownerControl->GetContainer() : nullptr;
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("SOUI");
  root.append_attribute("width") = static_cast<double>(rect.w);
  root.append_attribute("height") = static_cast<double>(rect.h);
  root.append_copy(content).set_name("root");
  DiagnosticLog::SourceScope scope(GetContext().Diagnostics(), L"(drop-down)", nullptr);
  if (!CreateFromXml(root, ownerHost, NativeWindowKind::kDropDown))
    return false;
  GetRoot()->SetOwner(ownerControl);
  RectF at = rect;
  if (ownerHost && ownerHost->GetNative()) {
    RectF origin = ownerHost->GetNative()->Geometry();
    at.x += origin.x;
    at.y += origin.y;
  }
  GetNative()->SetGeometry(at, 0, 0);
  owner_->OnCreateDropDown(this);
  ShowWindow(true);
  return true;
}

void SDropDownWnd::EndDropDown(int code) {
  if (ended_)
    return;
  ended_ = true;
  exitCode_ = code;
  DestroyWindow();
}

void SDropDownWnd::OnDestroy() {
  ended_ = true;
  owner_->OnDestroyDropDown(this);
  GetContext().DeleteLater([this] { delete this; });
}

void SDropDownWnd::OnActivateChanged(bool active) {
  if (!active)
    EndDropDown(kDialogCancel);
}

bool SDropDownWnd::OnKeyEvent(const KeyEvent& key) {
  if (key.key == Key::kEscape) {
    EndDropDown(kDialogCancel);
    return true;
  }
  return SHostWnd::OnKeyEvent(key);
}

bool SDropDownWnd::OnClose() {
  EndDropDown(kDialogCancel);
  return false;
}

}  // namespace toolkit

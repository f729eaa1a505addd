#include "headless.h"

#include <algorithm>
#include <cmath>

#include "toolkit/controls.h"
#include "toolkit/listview.h"

namespace toolkit::headless {
namespace {

class PngImage : public IImage {
 public:
  PngImage(int width, int height) : width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  int width_, height_;
};

bool IsWide(wchar_t c) {
  return c >= 0x2E80;
}

std::uint32_t BigEndian(const std::string& bytes, size_t at) {
  std::uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

void RecordingRender::PopClip() {
  if (clips_.empty())
    ++unbalancedPops;
  else
    clips_.pop_back();
}

void RecordingRender::Add(DrawOp::Kind kind, const RectF& rect, Color color, std::wstring text) {
  ops.push_back({kind, rect, color, std::move(text)});
}

void RecordingRender::DrawLine(PointF from, PointF to, float, Color color) {
  Add(DrawOp::kLine, {from.x, from.y, to.x - from.x, to.y - from.y}, color);
}

void RecordingRender::StrokeArc(PointF center, float radius, float, float, float, Color color,
                                bool) {
  Add(DrawOp::kArc, {center.x - radius, center.y - radius, 2 * radius, 2 * radius}, color);
}

void RecordingRender::DrawText(const std::wstring& text, const RectF& rect, const FontDesc&,
                               const TextFormat&, Color color) {
  Add(DrawOp::kText, rect, color, text);
}

SizeF RecordingRender::MeasureText(const std::wstring& text, const FontDesc& font, float maxWidth) {
  float lineHeight = std::ceil(font.size * 1.35f);
  float width = 0, line = 0;
  int lines = 1;
  for (wchar_t c : text) {
    if (c == L'\n') {
      width = std::max(width, line);
      line = 0;
      ++lines;
      continue;
    }
    float advance = font.size * (IsWide(c) ? 1.0f : 0.55f);
    if (maxWidth > 0 && line + advance > maxWidth && line > 0) {
      width = std::max(width, line);
      line = 0;
      ++lines;
    }
    line += advance;
  }
  width = std::max(width, line);
  return {std::ceil(width), lineHeight * static_cast<float>(lines)};
}

std::shared_ptr<IImage> RecordingRender::LoadImage(const std::string& png) {
  static const std::string kSignature("\x89PNG\r\n\x1a\n", 8);
  if (png.size() < 24 || png.compare(0, 8, kSignature) != 0 || png.compare(12, 4, "IHDR") != 0)
    return nullptr;
  return std::make_shared<PngImage>(static_cast<int>(BigEndian(png, 16)),
                                    static_cast<int>(BigEndian(png, 20)));
}

void RecordingRender::DrawImage(const IImage&, const RectF& destination, float) {
  Add(DrawOp::kImage, destination, Color{});
}

void RecordingRender::DrawImageTwoTone(const IImage&, const RectF& destination,
                                       const TwoTone& tone) {
  Add(DrawOp::kTwoToneImage, destination, tone.ink);
  ops.back().paper = tone.paper;
}

HeadlessWindow::HeadlessWindow(HeadlessPlatform* platform, const NativeWindowParams& params)
    : platform_(platform), params_(params) {
  platform_->windows_.push_back(this);
}

HeadlessWindow::~HeadlessWindow() {
  platform_->Forget(this);
}

void HeadlessWindow::SetGeometry(const RectF& body, float shadowMargin, float) {
  body_ = body;
  shadow_ = shadowMargin;
}

void HeadlessWindow::CenterOnScreen() {
  // A 1920 x 1080 screen.
  body_.x = std::floor((1920 - body_.w) / 2);
  body_.y = std::floor((1080 - body_.h) / 2);
}

void HeadlessWindow::Show(bool visible) {
  visible_ = visible;
  // As on Windows, hiding the active window takes the activation from it.
  if (visible)
    platform_->Activate(this);
  else if (platform_->active_ == this)
    platform_->Activate(nullptr);
}

void HeadlessWindow::Invalidate(const RectF&) {}

void HeadlessWindow::SetTimer(unsigned id, unsigned milliseconds) {
  milliseconds = std::max(1u, milliseconds);
  timers_[id] = {milliseconds, platform_->now_ + milliseconds};
}

int HeadlessWindow::RunModalLoop() {
  return platform_->RunModal(this);
}

void HeadlessWindow::EndModalLoop(int code) {
  if (!modalCodes_.empty() && modalCodes_.back() == -1)
    modalCodes_.back() = code;
}

void HeadlessWindow::Destroy() {
  if (destroyed_)
    return;
  destroyed_ = true;
  visible_ = false;
  timers_.clear();
  frames_ = false;
  if (platform_->active_ == this)
    platform_->active_ = nullptr;
  for (auto& code : modalCodes_) {
    if (code == -1)
      code = -2;  // a loop whose window went away
  }
  INativeWindowSink* sink = sink_;
  sink_ = nullptr;
  // The core may delete this window while it hears of the destruction: touch nothing after.
  if (sink)
    sink->OnDestroyed();
}

void HeadlessWindow::PlaceChild(std::uintptr_t child, const RectF& rect, bool visible) {
  auto& entry = children_[child];
  entry.rect = rect;
  entry.visible = visible;
}

std::uintptr_t HeadlessWindow::CreateRichTextChild(const std::string& rtf) {
  static std::uintptr_t next = 0x1000;
  std::uintptr_t handle = next++;
  children_[handle].rtf = rtf;
  return handle;
}

RecordingRender HeadlessWindow::Paint() {
  RecordingRender render;
  if (sink_)
    sink_->OnPaint(render, {0, 0, body_.w, body_.h});
  return render;
}

std::unique_ptr<INativeWindow> HeadlessPlatform::CreateNativeWindow(
    const NativeWindowParams& params) {
  return std::make_unique<HeadlessWindow>(this, params);
}

void HeadlessPlatform::Forget(HeadlessWindow* window) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
  if (active_ == window)
    active_ = nullptr;
}

void HeadlessPlatform::SetHighContrast(std::optional<SystemColors> colors) {
  highContrast_ = colors;
  auto windows = windows_;
  for (HeadlessWindow* window : windows) {
    if (window->Sink())
      window->Sink()->OnSystemColorsChanged();
  }
}

HeadlessWindow* HeadlessPlatform::WindowOf(const SHostWnd& host) const {
  for (HeadlessWindow* window : windows_) {
    if (window == host.GetNative())
      return window;
  }
  return nullptr;
}

void HeadlessPlatform::Activate(HeadlessWindow* window) {
  if (active_ == window)
    return;
  HeadlessWindow* old = active_;
  active_ = window;
  if (old && old->sink_)
    old->sink_->OnActivate(false);
  // Losing the activation may have ended windows, even this one.
  if (window && active_ == window && window->sink_)
    window->sink_->OnActivate(true);
}

void HeadlessPlatform::Advance(unsigned milliseconds) {
  std::uint64_t target = now_ + milliseconds;
  for (;;) {
    // The earliest due timer, or the frame tick when it comes first.
    HeadlessWindow* window = nullptr;
    unsigned timerId = 0;
    std::uint64_t due = nextFrame_;
    for (HeadlessWindow* w : windows_) {
      for (const auto& [id, timer] : w->timers_) {
        if (timer.due < due) {
          due = timer.due;
          window = w;
          timerId = id;
        }
      }
    }
    if (due > target)
      break;
    now_ = std::max(now_, due);
    if (window) {
      window->timers_[timerId].due += window->timers_[timerId].period;
      if (window->sink_)
        window->sink_->OnTimer(timerId);
      continue;
    }
    nextFrame_ += kFrameMs;
    std::vector<HeadlessWindow*> ticking;
    for (HeadlessWindow* w : windows_) {
      if (w->frames_)
        ticking.push_back(w);
    }
    for (HeadlessWindow* w : ticking) {
      if (std::find(windows_.begin(), windows_.end(), w) != windows_.end() && w->sink_)
        w->sink_->OnFrame(now_);
    }
  }
  now_ = std::max(now_, target);
}

void HeadlessPlatform::OnNextModal(std::function<void(SHostWnd&)> action) {
  modalActions_.push_back(std::move(action));
}

int HeadlessPlatform::RunModal(HeadlessWindow* window) {
  ++modalLoops_;
  window->modalCodes_.push_back(-1);
  auto alive = [&] {
    return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
  };
  if (!modalActions_.empty()) {
    auto action = std::move(modalActions_.front());
    modalActions_.erase(modalActions_.begin());
    if (SHostWnd* host = window->Host())
      action(*host);
  }
  std::uint64_t deadline = now_ + modalLimitMs;
  while (alive() && window->modalCodes_.back() == -1 && now_ < deadline)
    Advance(kFrameMs);
  if (!alive())
    return -1;
  int code = window->modalCodes_.back();
  window->modalCodes_.pop_back();
  return code < 0 ? -1 : code;
}

HeadlessPlatform& PlatformOf(const SHostWnd& host) {
  return static_cast<HeadlessWindow*>(host.GetNative())->Platform();
}

void ClickAt(SHostWnd& host, PointF at) {
  auto* window = static_cast<HeadlessWindow*>(host.GetNative());
  if (!window)
    return;
  HeadlessPlatform& platform = window->Platform();
  auto alive = [&] {
    const auto& all = platform.Windows();
    return std::find(all.begin(), all.end(), window) != all.end() && window->Sink();
  };
  platform.Activate(window);
  if (!alive())
    return;
  window->Sink()->OnMouseMove(at);
  if (!alive())
    return;
  window->Sink()->OnMouseDown(MouseButton::kLeft, at);
  if (!alive())
    return;
  window->Sink()->OnMouseUp(MouseButton::kLeft, at);
}

namespace {

// Several pages may hold a control of one name (the caption buttons); the user can only reach
// the one that can be seen.
SWindow* FindShown(SWindow* window, const std::wstring& name) {
  if (!window || !window->IsVisible())
    return nullptr;
  if (window->GetName() == name)
    return window;
  for (size_t i = 0; i < window->GetChildrenCount(); ++i) {
    if (SWindow* found = FindShown(window->GetChild(i), name))
      return found;
  }
  return nullptr;
}

}  // namespace

bool Click(SHostWnd& host, const std::wstring& name) {
  SWindow* control = FindShown(host.GetRoot(), name);
  if (!control || !control->IsVisible(true) || !host.GetNative())
    return false;
  RectF r = control->GetWindowRect();
  ClickAt(host, {r.x + r.w / 2, r.y + r.h / 2});
  return true;
}

bool ClickItem(SHostWnd& host, const std::wstring& listName, int index) {
  auto* list = host.FindChildByName2<SListView>(listName);
  if (!list || !list->IsVisible(true))
    return false;
  SItemPanel* panel = list->GetItemPanel(index);
  if (!panel)
    return false;
  list->EnsureVisible(index);
  RectF r = panel->GetWindowRect();
  ClickAt(host, {r.x + r.w / 2, r.y + r.h / 2});
  return true;
}

void PressKey(SHostWnd& host, Key key, bool shift, wchar_t character) {
  if (INativeWindowSink* sink = host.GetNative() ? &host : nullptr)
    sink->OnKey({key, shift, character});
}

void Hover(SHostWnd& host, PointF at) {
  if (host.GetNative())
    static_cast<INativeWindowSink&>(host).OnMouseMove(at);
}

bool DragSlider(SHostWnd& host, const std::wstring& name, int value) {
  auto* slider = host.FindChildByName2<SSliderBar>(name);
  if (!slider || !slider->IsVisible(true) || !host.GetNative())
    return false;
  RectF r = slider->GetWindowRect();
  int minimum = 0, maximum = 0;
  slider->GetRange(&minimum, &maximum);
  auto xOf = [&](int v) {
    float part = maximum > minimum
                     ? static_cast<float>(v - minimum) / static_cast<float>(maximum - minimum)
                     : 0;
    return r.x + r.h / 2 + part * (r.w - r.h);
  };
  float y = r.y + r.h / 2;
  INativeWindowSink& sink = host;
  static_cast<HeadlessWindow*>(host.GetNative())
      ->Platform()
      .Activate(static_cast<HeadlessWindow*>(host.GetNative()));
  sink.OnMouseMove({xOf(slider->GetValue()), y});
  sink.OnMouseDown(MouseButton::kLeft, {xOf(slider->GetValue()), y});
  sink.OnMouseMove({xOf(value), y});
  sink.OnMouseUp(MouseButton::kLeft, {xOf(value), y});
  return true;
}

std::wstring Text(const SHostWnd& host, const std::wstring& name) {
  SWindow* control = host.FindChildByName(name);
  return control ? control->GetWindowText() : L"";
}

int Page(const SHostWnd& host, const std::wstring& tabName) {
  auto* tab = host.FindChildByName2<STabCtrl>(tabName);
  return tab ? tab->GetCurSel() : -1;
}

int Value(const SHostWnd& host, const std::wstring& name) {
  auto* bar = host.FindChildByName2<SProgress>(name);
  return bar ? bar->GetValue() : -1;
}

bool Visible(const SHostWnd& host, const std::wstring& name) {
  SWindow* control = host.FindChildByName(name);
  return control && control->IsVisible(true);
}

bool Enabled(const SHostWnd& host, const std::wstring& name) {
  SWindow* control = host.FindChildByName(name);
  return control && !control->IsDisabled(true);
}

bool Checked(const SHostWnd& host, const std::wstring& name) {
  SWindow* control = host.FindChildByName(name);
  return control && control->IsChecked();
}

std::wstring FocusName(const SHostWnd& host) {
  return host.GetFocus() ? host.GetFocus()->GetName() : L"";
}

}  // namespace toolkit::headless

namespace toolkit::headless {

std::vector<std::wstring> AccLines(SHostWnd& host) {
  static const struct {
    unsigned bit;
    const wchar_t* word;
  } kStates[] = {
      {kAccFocused, L"focused"},   {kAccFocusable, L"focusable"}, {kAccUnavailable, L"unavailable"},
      {kAccChecked, L"checked"},   {kAccInvisible, L"invisible"}, {kAccSelected, L"selected"},
      {kAccReadOnly, L"readonly"},
  };
  std::vector<std::wstring> lines;
  AccTree tree = host.GetAccessibleTree();
  for (const AccNode& node : tree.Nodes()) {
    std::wstring line(static_cast<size_t>(node.depth) * 2, L' ');
    line += AccRoleName(node.role);
    line += L" \"" + node.name + L"\"";
    if (!node.value.empty())
      line += L" =" + node.value;
    if (!node.description.empty())
      line += L" (" + node.description + L")";
    for (const auto& state : kStates) {
      if (node.state & state.bit)
        line += std::wstring(L" ") + state.word;
    }
    if (node.action != AccAction::kNone)
      line += std::wstring(L" ") + AccActionName(node.action);
    lines.push_back(line);
  }
  return lines;
}

bool AccPress(SHostWnd& host, const std::wstring& name) {
  AccTree tree = host.GetAccessibleTree();
  int index = tree.FindByName(name);
  if (index <= 0)
    return false;
  return host.DoAccessibleAction(tree.Nodes()[static_cast<size_t>(index)].id);
}

}  // namespace toolkit::headless

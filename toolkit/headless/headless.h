// The headless host: native windows without a screen, a painter that records what it was asked
// to draw and measures text approximately, and a virtual clock. Tests drive windows through it:
// click a control by name, type keys, move a slider, fire timers and frame ticks, and read back
// texts, pages, values, visibility and enabled state.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/host.h"
#include "toolkit/native_platform.h"

namespace toolkit::headless {

class HeadlessPlatform;

// What the recording painter was asked to do, one entry per call.
struct DrawOp {
  enum Kind {
    kFillRect,
    kFillRoundRect,
    kStrokeRoundRect,
    kEllipse,
    kLine,
    kArc,
    kShadow,
    kText,
    kImage,
    kTwoToneImage  // color: the ink, paper: the rest
  } kind;
  RectF rect;
  Color color;
  std::wstring text;
  Color paper{0, 0, 0, 0};
};

class RecordingRender : public IRender {
 public:
  float Scale() const override { return scale; }
  void PushClip(const RectF& rect) override { clips_.push_back(rect); }
  void PopClip() override;
  void FillRect(const RectF& rect, Color color) override { Add(DrawOp::kFillRect, rect, color); }
  void FillRoundRect(const RectF& rect, float, Color color) override {
    Add(DrawOp::kFillRoundRect, rect, color);
  }
  void StrokeRoundRect(const RectF& rect, float, float, Color color) override {
    Add(DrawOp::kStrokeRoundRect, rect, color);
  }
  void FillEllipse(const RectF& rect, Color color) override { Add(DrawOp::kEllipse, rect, color); }
  void DrawLine(PointF from, PointF to, float, Color color) override;
  void StrokeArc(PointF center, float radius, float, float, float, Color color, bool) override;
  void FillShadow(const RectF& rect, float, float, Color color) override {
    Add(DrawOp::kShadow, rect, color);
  }
  void DrawText(const std::wstring& text, const RectF& rect, const FontDesc& font,
                const TextFormat& format, Color color) override;
  // CJK characters one em wide, others 0.55 em; lines 1.35 em high.
  SizeF MeasureText(const std::wstring& text, const FontDesc& font, float maxWidth) override;
  // Reads the size from a PNG header; null for anything else.
  std::shared_ptr<IImage> LoadImage(const std::string& pngBytes) override;
  void DrawImage(const IImage& image, const RectF& destination, float opacity) override;
  void DrawImageTwoTone(const IImage& image, const RectF& destination,
                        const TwoTone& tone) override;

  std::vector<DrawOp> ops;
  int unbalancedPops = 0;
  float scale = 1;
  size_t ClipDepth() const { return clips_.size(); }

 private:
  void Add(DrawOp::Kind kind, const RectF& rect, Color color, std::wstring text = L"");
  std::vector<RectF> clips_;
};

class HeadlessWindow : public INativeWindow {
 public:
  HeadlessWindow(HeadlessPlatform* platform, const NativeWindowParams& params);
  ~HeadlessWindow() override;

  void SetSink(INativeWindowSink* sink) override { sink_ = sink; }
  void SetTitle(const std::wstring& title) override { title_ = title; }
  void SetGeometry(const RectF& body, float shadowMargin, float cornerRadius) override;
  RectF Geometry() const override { return body_; }
  void CenterOnScreen() override;
  void Show(bool visible) override;
  bool IsVisible() const override { return visible_; }
  void Invalidate(const RectF& rect) override;
  void SetTimer(unsigned id, unsigned milliseconds) override;
  void KillTimer(unsigned id) override { timers_.erase(id); }
  void RequestFrames(bool on) override { frames_ = on; }
  void CaptureMouse(bool on) override { captured_ = on; }
  void SetCursor(CursorKind cursor) override { cursor_ = cursor; }
  void ShowTooltip(const std::wstring& text, PointF) override { tooltip_ = text; }
  void HideTooltip() override { tooltip_.clear(); }
  void BeginDrag() override { ++drags_; }
  void Minimize() override { minimized_ = true; }
  float Scale() const override { return 1; }
  std::uintptr_t Handle() const override { return 0; }
  int RunModalLoop() override;
  void EndModalLoop(int code) override;
  void Destroy() override;
  void PlaceChild(std::uintptr_t child, const RectF& rect, bool visible) override;
  void FocusChild(std::uintptr_t child) override { focusedChild_ = child; }
  std::uintptr_t CreateRichTextChild(const std::string& rtf) override;
  void DestroyChild(std::uintptr_t child) override { children_.erase(child); }
  void NotifyAccessible(AccEvent event, long id) override { accEvents_.push_back({event, id}); }

  INativeWindowSink* Sink() const { return sink_; }
  HeadlessPlatform& Platform() const { return *platform_; }
  SHostWnd* Host() const { return dynamic_cast<SHostWnd*>(sink_); }
  const NativeWindowParams& Params() const { return params_; }
  const std::wstring& Title() const { return title_; }
  const std::wstring& Tooltip() const { return tooltip_; }
  CursorKind Cursor() const { return cursor_; }
  bool Minimized() const { return minimized_; }
  bool FramesRequested() const { return frames_; }
  bool HasTimer(unsigned id) const { return timers_.count(id) > 0; }
  float ShadowMargin() const { return shadow_; }
  int Drags() const { return drags_; }
  struct Child {
    RectF rect;
    bool visible = false;
    std::string rtf;
  };
  const std::map<std::uintptr_t, Child>& Children() const { return children_; }
  std::uintptr_t FocusedChild() const { return focusedChild_; }
  struct AccRecord {
    AccEvent event;
    long id;
  };
  // The events readers were told of, in order.
  const std::vector<AccRecord>& AccEvents() const { return accEvents_; }
  void ClearAccEvents() { accEvents_.clear(); }
  // Paints the whole window into a fresh recording.
  RecordingRender Paint();

 private:
  friend class HeadlessPlatform;
  struct Timer {
    unsigned period;
    std::uint64_t due;
  };
  HeadlessPlatform* platform_;
  NativeWindowParams params_;
  INativeWindowSink* sink_ = nullptr;
  std::wstring title_, tooltip_;
  RectF body_;
  float shadow_ = 0;
  bool visible_ = false;
  bool frames_ = false;
  bool captured_ = false;
  bool minimized_ = false;
  bool destroyed_ = false;
  int drags_ = 0;
  CursorKind cursor_ = CursorKind::kArrow;
  std::map<unsigned, Timer> timers_;
  std::map<std::uintptr_t, Child> children_;
  std::uintptr_t focusedChild_ = 0;
  std::vector<AccRecord> accEvents_;
  std::vector<int> modalCodes_;  // stack of loops: -1 while running
};

class HeadlessPlatform : public INativePlatform {
 public:
  // The frame ticks' period of the virtual clock.
  static constexpr unsigned kFrameMs = 16;

  std::unique_ptr<INativeWindow> CreateNativeWindow(const NativeWindowParams& params) override;
  IRender& MeasureRender() override { return measure_; }
  int RunMessageLoop() override { return quitCode_; }
  void Quit(int code) override {
    quitCode_ = code;
    quit_ = true;
  }
  bool QuitRequested() const { return quit_; }

  // The high-contrast theme as the fake system has it; SetHighContrast also tells every window,
  // as Windows does with its colour-change broadcast.
  std::optional<SystemColors> HighContrastColors() override { return highContrast_; }
  void SetHighContrast(std::optional<SystemColors> colors);

  std::uint64_t Now() const { return now_; }
  // Moves the virtual clock on, firing every due timer and frame tick in time order.
  void Advance(unsigned milliseconds);

  // What to do once the next modal loop starts (click its buttons, ...). With no action queued
  // a loop runs the clock until the dialog ends itself or `modalLimitMs` passes, then ends with
  // -1 so a test can never hang.
  void OnNextModal(std::function<void(SHostWnd&)> action);
  unsigned modalLimitMs = 60000;
  int ModalLoopsRun() const { return modalLoops_; }

  const std::vector<HeadlessWindow*>& Windows() const { return windows_; }
  HeadlessWindow* WindowOf(const SHostWnd& host) const;
  // The window that has the activation (the last shown or clicked).
  HeadlessWindow* Active() const { return active_; }
  void Activate(HeadlessWindow* window);

 private:
  friend class HeadlessWindow;
  int RunModal(HeadlessWindow* window);
  void Forget(HeadlessWindow* window);

  RecordingRender measure_;
  std::vector<HeadlessWindow*> windows_;
  HeadlessWindow* active_ = nullptr;
  std::vector<std::function<void(SHostWnd&)>> modalActions_;
  std::uint64_t now_ = 0;
  std::uint64_t nextFrame_ = kFrameMs;
  int quitCode_ = 0;
  bool quit_ = false;
  int modalLoops_ = 0;
  std::optional<SystemColors> highContrast_;
};

// --- driving a window the way a user does (all go through the platform window) ---
HeadlessPlatform& PlatformOf(const SHostWnd& host);
// Presses and releases the left button at the centre of the first control of that name that
// can be seen; false when there is none (nothing happens then).
bool Click(SHostWnd& host, const std::wstring& name);
void ClickAt(SHostWnd& host, PointF at);
// Clicks item `index` of a list view.
bool ClickItem(SHostWnd& host, const std::wstring& listName, int index);
void PressKey(SHostWnd& host, Key key, bool shift = false, wchar_t character = 0);
void Hover(SHostWnd& host, PointF at);
// Drags a slider's thumb to where it shows `value`.
bool DragSlider(SHostWnd& host, const std::wstring& name, int value);

// --- reading back; a missing control reads as empty, -1 or false ---
std::wstring Text(const SHostWnd& host, const std::wstring& name);
int Page(const SHostWnd& host, const std::wstring& tabName);
int Value(const SHostWnd& host, const std::wstring& name);
bool Visible(const SHostWnd& host, const std::wstring& name);  // the control and its ancestors
bool Enabled(const SHostWnd& host, const std::wstring& name);
bool Checked(const SHostWnd& host, const std::wstring& name);
std::wstring FocusName(const SHostWnd& host);

// --- the accessible tree, as readers get it through the platform window ---
// One line per node: indent by depth, role, name in quotes, then value, states and action, e.g.
// `  push button "开始检测" focusable Press`.
std::vector<std::wstring> AccLines(SHostWnd& host);
// Asks for the default action of the first node of that name, as a reader would; false when
// there is none or it has no action.
bool AccPress(SHostWnd& host, const std::wstring& name);

}  // namespace toolkit::headless

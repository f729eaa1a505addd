#include "windows_base.h"

#include "platform_win32.h"

#include "native_window_win32.h"
#include "render_win32.h"
#include "resources_win32.h"

namespace toolkit {

Win32Platform::Win32Platform() : scale_(InitDpiAwareness()) {}

Win32Platform::~Win32Platform() = default;

std::unique_ptr<INativeWindow> Win32Platform::CreateNativeWindow(const NativeWindowParams& params) {
  NativeWindowOptions options;
  options.owner = params.owner ? params.owner->Handle() : 0;
  options.appWindow = params.appWindow || params.kind == NativeWindowKind::kTopLevel;
  options.shadow = params.translucent;
  options.dropDown = params.kind == NativeWindowKind::kDropDown;
  if (params.kind == NativeWindowKind::kChild) {
    options.child = true;
    options.owner = params.parentHandle;
    options.appWindow = false;
  }
  if (params.kind == NativeWindowKind::kDialog)
    options.appWindow = params.appWindow;
  if (!params.bigIcon.empty())
    options.bigIcon = WideToUtf8(params.bigIcon);
  if (!params.smallIcon.empty())
    options.smallIcon = WideToUtf8(params.smallIcon);
  return toolkit::CreateNativeWindow(options);
}

IRender& Win32Platform::MeasureRender() {
  if (!measure_) {
    auto render = std::make_unique<GdiplusRender>();
    // Measuring needs no pixels, only the scale the windows paint at.
    static std::uint8_t pixel[4];
    render->Attach(pixel, 1, 1, 4, scale_);
    measure_ = std::move(render);
  }
  return *measure_;
}

int Win32Platform::RunMessageLoop() {
  return toolkit::RunMessageLoop();
}

void Win32Platform::Quit(int code) {
  PostQuitMessage(code);
}

std::optional<SystemColors> Win32Platform::HighContrastColors() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  bool on = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
            (contrast.dwFlags & HCF_HIGHCONTRASTON);
  if (!on && !forceHighContrast_)
    return std::nullopt;
  auto sys = [](int index) {
    COLORREF c = GetSysColor(index);
    return Color{GetRValue(c), GetGValue(c), GetBValue(c), 255};
  };
  SystemColors colors;
  colors.window = sys(COLOR_WINDOW);
  colors.windowText = sys(COLOR_WINDOWTEXT);
  colors.highlight = sys(COLOR_HIGHLIGHT);
  colors.highlightText = sys(COLOR_HIGHLIGHTTEXT);
  colors.grayText = sys(COLOR_GRAYTEXT);
  colors.hotLight = sys(COLOR_HOTLIGHT);
  colors.buttonFace = sys(COLOR_BTNFACE);
  colors.buttonText = sys(COLOR_BTNTEXT);
  return colors;
}

bool Win32ResProvider::HasResource(const ResName& res) const {
  return GetRawBuffer(res).has_value();
}

std::optional<std::string> Win32ResProvider::GetRawBuffer(const ResName& res) const {
  if (res.type == L"IMG.MAIN") {
    auto picture = FindPicture(WideToUtf8(res.name), scale_);
    if (!picture)
      return std::nullopt;
    return std::move(picture->png);
  }
  return FindResourceBytes(WideToUtf8(res.ToString()));
}

}  // namespace toolkit

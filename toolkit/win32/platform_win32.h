// The Win32 platform of the toolkit: native windows for the host windows, a painter for measuring
// text, the message loop; and the program's resources as a resource provider.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "toolkit/native_platform.h"
#include "toolkit/resources.h"

namespace toolkit {

class Win32Platform : public INativePlatform {
 public:
  // Declares the process DPI-aware first: build it before any window exists.
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  std::unique_ptr<INativeWindow> CreateNativeWindow(const NativeWindowParams& params) override;
  IRender& MeasureRender() override;
  int RunMessageLoop() override;
  void Quit(int code) override;
  std::optional<SystemColors> HighContrastColors() override;
  // For tools that show our windows under a high-contrast theme where the system cannot turn
  // one on (Wine): answer as if it were on, with the system colours as they are.
  void ForceHighContrast(bool on) { forceHighContrast_ = on; }
  // Device pixels per layout pixel: 1 at 96 DPI, 1.5 at 144.
  float Scale() const { return scale_; }

 private:
  float scale_;
  std::unique_ptr<IRender> measure_;
  bool forceHighContrast_ = false;
};

// The program's own resources ("TYPE:NAME"). Pictures of type IMG.MAIN come in the variant made
// for `scale` ("<name>@1.5x" at 144 DPI), so they land pixel for pixel.
class Win32ResProvider : public IResProvider {
 public:
  explicit Win32ResProvider(float scale) : scale_(scale) {}
  bool HasResource(const ResName& res) const override;
  std::optional<std::string> GetRawBuffer(const ResName& res) const override;

 private:
  float scale_;
};

}  // namespace toolkit

#include "device_popups_win32.h"

#include "audio/audio_library.h"
#include "audio/audio_popup.h"
#include "delay_load_win32.h"
#include "device_results.h"
#include "video/camera_library.h"
#include "video/video_popup.h"

namespace kestrelrun {
namespace {

class ProgramPopups : public IDevicePopups {
 public:
  ProgramPopups(toolkit::UiContext& context, toolkit::SHostWnd& owner,
                const kestrel::ICodePage& codePage)
      : audio_(context, popups::MicProbeLibrary(), popups::NetProbeResults(), codePage),
        video_(context, popups::CamProbeLibrary(), popups::NetProbeResults(), codePage) {
    if (audio_.Create(&owner, toolkit::NativeWindowKind::kDialog))
      audio_.ShowWindow(false);
    audio_.LoadAudioDevices();
    audio_.StartMessageTimer();
    if (video_.Create(&owner, toolkit::NativeWindowKind::kDialog))
      video_.ShowWindow(false);
  }
  IAudioTestPopup& Audio() override { return audio_; }
  ICameraTestPopup& Camera() override { return video_; }
  void ShowAudio() override { audio_.ShowPopup(); }
  void ShowCamera() override { video_.ShowVideoPopup(); }
  toolkit::SHostWnd* AudioWindow() override { return &audio_; }
  toolkit::SHostWnd* CameraWindow() override { return &video_; }

 private:
  // Declared in this order so that the camera popup goes first, then the audio popup.
  popups::CPopWndAudio audio_;
  popups::CPopWndVideo video_;
};

}  // namespace

DevicePopupsFactory MakeDevicePopups(toolkit::UiContext& context,
                                     const kestrel::ICodePage& codePage) {
  return [&context, &codePage](toolkit::SHostWnd& owner) -> std::unique_ptr<IDevicePopups> {
    LoadDeviceLibraries();  // the popups' first calls go to both
    return std::make_unique<ProgramPopups>(context, owner, codePage);
  };
}

}  // namespace kestrelrun

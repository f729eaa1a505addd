// CamProbe: the camera library behind Kestrel's camera test.
//
// It lists the video capture devices that Windows knows (every webcam and every virtual camera
// registers as a DirectShow video input device), and shows the live picture of a chosen one in
// a window the caller gives, within a rectangle of that window, until CloseLocalCamera.
//
// Every export is a plain function with an undecorated name. This header needs no
// <windows.h>. The camera list and ProbeError hold std::string: every module that includes this
// header must be built with the same toolchain and C++ runtime as CamProbe.dll.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ProbeError.h"

#if defined(_WIN32)
#if defined(CAMPROBE_BUILDING)
#define CAMPROBE_API extern "C" __declspec(dllexport)
#elif defined(CAMPROBE_DELAY_LOADED)
// Called through the delay-import library's thunks: GNU ld drops an i686 thunk reached only
// through its __imp_ pointer and leaves that pointer 0.
#define CAMPROBE_API extern "C"
#else
#define CAMPROBE_API extern "C" __declspec(dllimport)
#endif
#else
#define CAMPROBE_API extern "C" __attribute__((visibility("default")))
#endif

// One camera: its number (0, 1, ... in the system's enumeration order) and its friendly name
// in the ANSI code page.
struct CameraInfo {
  std::int32_t number = 0;
  std::string name;
};

// The cameras of the last listing, in enumeration order. Owned by the library; valid until the
// next GetLocalCamera or ReleaseCameraDllRes.
using CameraList = std::vector<CameraInfo>;

// A rectangle in the client coordinates of the video window, laid out like Win32's RECT.
struct CameraRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// Codes written to ProbeError, and their fixed texts in code page 936 (GBK bytes).
namespace camprobe {
inline constexpr int kListFailed = 1;       // the system's device list could not be read
inline constexpr int kNoSuchCamera = 2;     // the number is not in the list, or the camera is gone
inline constexpr int kNoVideoWindow = 3;    // no window, or an empty rectangle, was set
inline constexpr int kOpenFailed = 4;       // the camera would not build a preview
inline constexpr int kCameraBusy = 5;       // the camera would not start: in use or failing
inline constexpr int kLibraryReleased = 6;  // ReleaseCameraDllRes was called
// "获取摄像头列表失败"
inline constexpr const char kListFailedText[] =
    "\xbb\xf1\xc8\xa1\xc9\xe3\xcf\xf1\xcd\xb7\xc1\xd0\xb1\xed\xca\xa7\xb0\xdc";
// "摄像头不存在"
inline constexpr const char kNoSuchCameraText[] =
    "\xc9\xe3\xcf\xf1\xcd\xb7\xb2\xbb\xb4\xe6\xd4\xda";
// "未设置视频窗口"
inline constexpr const char kNoVideoWindowText[] =
    "\xce\xb4\xc9\xe8\xd6\xc3\xca\xd3\xc6\xb5\xb4\xb0\xbf\xda";
// "打开摄像头失败"
inline constexpr const char kOpenFailedText[] =
    "\xb4\xf2\xbf\xaa\xc9\xe3\xcf\xf1\xcd\xb7\xca\xa7\xb0\xdc";
// "摄像头被占用"
inline constexpr const char kCameraBusyText[] = "\xc9\xe3\xcf\xf1\xcd\xb7\xb1\xbb\xd5\xbc\xd3\xc3";
// "摄像头库已释放"
inline constexpr const char kLibraryReleasedText[] =
    "\xc9\xe3\xcf\xf1\xcd\xb7\xbf\xe2\xd2\xd1\xca\xcd\xb7\xc5";
}  // namespace camprobe

// Lists the cameras. Returns 1 and sets *cameras to the library's list (possibly empty: no
// camera is a valid answer), or 0 with *error filled when the system's list cannot be read.
CAMPROBE_API int GetLocalCamera(CameraList** cameras, ProbeError* error);
// The window (an HWND) and the rectangle in its client area that the next opens draw into.
CAMPROBE_API void SetCameraShowVideoWnd(void* window, CameraRect rect);
// Starts the preview of camera `number` (from the last listing; listed now when none was
// taken), ending any preview before. Returns 1, or 0 with *error filled and nothing running.
CAMPROBE_API int OpenLocalCamera(int number, ProbeError* error);
// Ends the preview, if any, and removes the picture from the window.
CAMPROBE_API void CloseLocalCamera();
// Ends the preview and the library object; afterwards the exports fail or do nothing.
CAMPROBE_API void ReleaseCameraDllRes();

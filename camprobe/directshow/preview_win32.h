// One live preview: a thread of its own (a single-threaded apartment with a message loop, for
// the video renderer's window) holds a filter graph from the camera to a video renderer whose
// window is a child of the caller's window, placed over the given rectangle.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/camera_system.h"

namespace camprobe::win32 {

class PreviewSession {
 public:
  // Builds and runs the graph; on anything but kRunning *session stays empty and the thread
  // has ended.
  static StartResult Start(const std::wstring& path, HWND window, CameraRect rect,
                           std::unique_ptr<PreviewSession>* session);
  // Stops the graph, takes the picture out of the window and ends the thread.
  ~PreviewSession();
  PreviewSession(const PreviewSession&) = delete;
  PreviewSession& operator=(const PreviewSession&) = delete;

 private:
  PreviewSession() = default;
  static DWORD WINAPI ThreadMain(void* self);
  void Run();

  std::wstring path_;
  HWND window_ = nullptr;
  CameraRect rect_;
  HANDLE started_ = nullptr;  // set once the graph runs or failed
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
  StartResult result_ = StartResult::kUnbuildable;
};

}  // namespace camprobe::win32

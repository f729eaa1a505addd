#include "directshow/preview_win32.h"

#include <dshow.h>

#include "directshow/com_thread_win32.h"
#include "directshow/device_list_win32.h"

namespace camprobe::win32 {

namespace {

template <typename T>
void Release(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

IPin* FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted, IPin* after) {
  IEnumPins* pins = nullptr;
  if (FAILED(filter->EnumPins(&pins))) {
    return nullptr;
  }
  IPin* pin = nullptr;
  bool passed = after == nullptr;
  while (pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION direction;
    if (passed && SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) {
      break;
    }
    passed = passed || pin == after;
    Release(pin);
  }
  pins->Release();
  return pin;
}

// The graph of one preview; every member is released by Teardown.
struct Graph {
  IGraphBuilder* builder = nullptr;
  IBaseFilter* camera = nullptr;
  IBaseFilter* renderer = nullptr;
  IMediaControl* control = nullptr;
  IVideoWindow* video = nullptr;

  // Connects the camera's preview pin, else its first output pin that connects, to the renderer.
  bool Connect() {
    ICaptureGraphBuilder2* capture = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2,
                                   reinterpret_cast<void**>(&capture)))) {
      const bool done = SUCCEEDED(capture->SetFiltergraph(builder)) &&
                        SUCCEEDED(capture->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video,
                                                        camera, nullptr, renderer));
      capture->Release();
      if (done) {
        return true;
      }
    }
    IPin* input = FirstPin(renderer, PINDIR_INPUT, nullptr);
    if (input == nullptr) {
      return false;
    }
    bool connected = false;
    for (IPin* output = FirstPin(camera, PINDIR_OUTPUT, nullptr); output != nullptr;) {
      connected = SUCCEEDED(builder->Connect(output, input));
      IPin* next = connected ? nullptr : FirstPin(camera, PINDIR_OUTPUT, output);
      output->Release();
      output = next;
    }
    input->Release();
    return connected;
  }

  StartResult Build(const std::wstring& path, HWND window, CameraRect rect) {
    HRESULT bound = S_OK;
    camera = BindVideoInput(path, &bound);
    if (camera == nullptr) {
      return bound == HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED) ? StartResult::kMissing
                                                                     : StartResult::kUnbuildable;
    }
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&builder))) ||
        FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&renderer))) ||
        FAILED(builder->AddFilter(camera, L"Camera")) ||
        FAILED(builder->AddFilter(renderer, L"Video Renderer")) || !Connect() ||
        FAILED(builder->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control))) ||
        FAILED(builder->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&video)))) {
      return StartResult::kUnbuildable;
    }
    if (FAILED(video->put_Owner(reinterpret_cast<OAHWND>(window))) ||
        FAILED(video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) ||
        FAILED(video->SetWindowPosition(rect.left, rect.top, rect.right - rect.left,
                                        rect.bottom - rect.top))) {
      return StartResult::kUnbuildable;
    }
    // A camera in use elsewhere, or one that fails while starting, refuses to pause. Pausing
    // first gives that answer at once; a run from stopped would report it only later.
    if (FAILED(control->Pause()) || FAILED(control->Run())) {
      return StartResult::kRefused;
    }
    OAFilterState state = State_Stopped;
    if (FAILED(control->GetState(2000, &state)) || state != State_Running) {
      return StartResult::kRefused;
    }
    return StartResult::kRunning;
  }

  void Teardown() {
    if (control != nullptr) {
      control->Stop();
    }
    if (video != nullptr) {
      // The renderer's window leaves the caller's window before the graph goes.
      video->put_Visible(OAFALSE);
      video->put_Owner(0);
    }
    Release(video);
    Release(control);
    if (builder != nullptr) {
      if (renderer != nullptr) {
        builder->RemoveFilter(renderer);
      }
      if (camera != nullptr) {
        builder->RemoveFilter(camera);
      }
    }
    Release(renderer);
    Release(camera);
    Release(builder);
  }
};

}  // namespace

StartResult PreviewSession::Start(const std::wstring& path, HWND window, CameraRect rect,
                                  std::unique_ptr<PreviewSession>* session) {
  std::unique_ptr<PreviewSession> preview(new PreviewSession());
  preview->path_ = path;
  preview->window_ = window;
  preview->rect_ = rect;
  preview->started_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  preview->stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (preview->started_ == nullptr || preview->stop_ == nullptr) {
    return StartResult::kUnbuildable;
  }
  preview->thread_ =
      CreateThread(nullptr, 0, &PreviewSession::ThreadMain, preview.get(), 0, nullptr);
  if (preview->thread_ == nullptr) {
    return StartResult::kUnbuildable;
  }
  WaitAnswering(preview->started_);
  const StartResult result = preview->result_;
  if (result == StartResult::kRunning) {
    *session = std::move(preview);
  }
  // Otherwise the destructor waits for the thread, which is already tearing down.
  return result;
}

PreviewSession::~PreviewSession() {
  if (thread_ != nullptr) {
    SetEvent(stop_);
    WaitAnswering(thread_);
    CloseHandle(thread_);
  }
  if (started_ != nullptr) {
    CloseHandle(started_);
  }
  if (stop_ != nullptr) {
    CloseHandle(stop_);
  }
}

DWORD WINAPI PreviewSession::ThreadMain(void* self) {
  static_cast<PreviewSession*>(self)->Run();
  return 0;
}

void PreviewSession::Run() {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Graph graph;
  result_ = SUCCEEDED(init) ? graph.Build(path_, window_, rect_) : StartResult::kUnbuildable;
  const bool running = result_ == StartResult::kRunning;
  SetEvent(started_);
  // The renderer's window lives on this thread: its messages are handled here until the stop.
  while (running &&
         MsgWaitForMultipleObjects(1, &stop_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  graph.Teardown();
  if (SUCCEEDED(init)) {
    CoUninitialize();
  }
}

}  // namespace camprobe::win32

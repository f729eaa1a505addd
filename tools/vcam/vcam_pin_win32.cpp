// The virtual camera's output pin: connection with the allocator handshake, and the thread
// that paints and delivers a frame every 1/30 s while the graph runs.
#include <cstring>
#include <initializer_list>

#include "test_pattern.h"
#include "vcam_filter_win32.h"

namespace vcam {

namespace {
constexpr wchar_t kPinName[] = L"Capture";

template <typename T>
void Drop(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

// Holds the filter's lock for one scope.
class Hold {
 public:
  explicit Hold(CRITICAL_SECTION* lock) : lock_(lock) { EnterCriticalSection(lock_); }
  ~Hold() { LeaveCriticalSection(lock_); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  CRITICAL_SECTION* lock_;
};
}  // namespace

void OutputPin::DropConnection() {
  Drop(allocator_);
  Drop(input_);
  Drop(connected_);
}

STDMETHODIMP OutputPin::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) {
    *object = static_cast<IPin*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) OutputPin::AddRef() {
  return filter_->AddRef();
}

STDMETHODIMP_(ULONG) OutputPin::Release() {
  return filter_->Release();
}

STDMETHODIMP OutputPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
  if (receiver == nullptr) {
    return E_POINTER;
  }
  Hold hold(&filter_->lock);
  if (connected_ != nullptr) {
    return VFW_E_ALREADY_CONNECTED;
  }
  if (filter_->State() != State_Stopped) {
    return VFW_E_NOT_STOPPED;
  }
  if (!AcceptsMediaType(type)) {
    return VFW_E_TYPE_NOT_ACCEPTED;
  }
  AM_MEDIA_TYPE ours;
  FillMediaType(&ours);
  HRESULT hr = ours.pbFormat == nullptr ? E_OUTOFMEMORY : receiver->ReceiveConnection(this, &ours);
  CoTaskMemFree(ours.pbFormat);
  if (FAILED(hr)) {
    return VFW_E_NO_ACCEPTABLE_TYPES;
  }
  hr = receiver->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&input_));
  if (SUCCEEDED(hr)) {
    // The receiver's allocator when it offers one, else the system's plain memory allocator.
    if (FAILED(input_->GetAllocator(&allocator_))) {
      hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                            reinterpret_cast<void**>(&allocator_));
    }
  }
  if (SUCCEEDED(hr)) {
    ALLOCATOR_PROPERTIES wanted = {3, kWidth * kHeight * 4, 1, 0};
    ALLOCATOR_PROPERTIES got;
    hr = allocator_->SetProperties(&wanted, &got);
    if (SUCCEEDED(hr) && got.cbBuffer < wanted.cbBuffer) {
      hr = VFW_E_SIZENOTSET;
    }
  }
  if (SUCCEEDED(hr)) {
    hr = input_->NotifyAllocator(allocator_, FALSE);
  }
  if (FAILED(hr)) {
    Drop(allocator_);
    Drop(input_);
    receiver->Disconnect();
    return hr;
  }
  connected_ = receiver;
  connected_->AddRef();
  return S_OK;
}

STDMETHODIMP OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
  return E_UNEXPECTED;  // an output pin connects, it is not connected to
}

STDMETHODIMP OutputPin::Disconnect() {
  Hold hold(&filter_->lock);
  if (connected_ == nullptr) {
    return S_FALSE;
  }
  if (filter_->State() != State_Stopped) {
    return VFW_E_NOT_STOPPED;
  }
  DropConnection();
  return S_OK;
}

STDMETHODIMP OutputPin::ConnectedTo(IPin** pin) {
  if (pin == nullptr) {
    return E_POINTER;
  }
  Hold hold(&filter_->lock);
  *pin = connected_;
  if (connected_ == nullptr) {
    return VFW_E_NOT_CONNECTED;
  }
  connected_->AddRef();
  return S_OK;
}

STDMETHODIMP OutputPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (type == nullptr) {
    return E_POINTER;
  }
  Hold hold(&filter_->lock);
  if (connected_ == nullptr) {
    std::memset(type, 0, sizeof(*type));
    return VFW_E_NOT_CONNECTED;
  }
  FillMediaType(type);
  return type->pbFormat == nullptr ? E_OUTOFMEMORY : S_OK;
}

STDMETHODIMP OutputPin::QueryPinInfo(PIN_INFO* info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  info->pFilter = filter_;
  filter_->AddRef();
  info->dir = PINDIR_OUTPUT;
  wcscpy_s(info->achName, MAX_PIN_NAME, kPinName);
  return S_OK;
}

STDMETHODIMP OutputPin::QueryDirection(PIN_DIRECTION* direction) {
  if (direction == nullptr) {
    return E_POINTER;
  }
  *direction = PINDIR_OUTPUT;
  return S_OK;
}

STDMETHODIMP OutputPin::QueryId(LPWSTR* id) {
  if (id == nullptr) {
    return E_POINTER;
  }
  *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(kPinName)));
  if (*id == nullptr) {
    return E_OUTOFMEMORY;
  }
  std::memcpy(*id, kPinName, sizeof(kPinName));
  return S_OK;
}

STDMETHODIMP OutputPin::QueryAccept(const AM_MEDIA_TYPE* type) {
  return type != nullptr && AcceptsMediaType(type) ? S_OK : S_FALSE;
}

STDMETHODIMP OutputPin::EnumMediaTypes(IEnumMediaTypes** types) {
  if (types == nullptr) {
    return E_POINTER;
  }
  *types = NewMediaTypeEnum();
  return S_OK;
}

STDMETHODIMP OutputPin::QueryInternalConnections(IPin**, ULONG*) {
  return E_NOTIMPL;
}

STDMETHODIMP OutputPin::EndOfStream() {
  return E_UNEXPECTED;
}

STDMETHODIMP OutputPin::BeginFlush() {
  return E_UNEXPECTED;
}

STDMETHODIMP OutputPin::EndFlush() {
  return E_UNEXPECTED;
}

STDMETHODIMP OutputPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
  return S_OK;
}

HRESULT OutputPin::Activate() {
  if (connected_ == nullptr) {
    return S_OK;  // an unconnected pin has nothing to deliver
  }
  HRESULT hr = allocator_->Commit();
  if (FAILED(hr)) {
    return hr;
  }
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  running_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (stop_ != nullptr && running_ != nullptr) {
    thread_ = CreateThread(nullptr, 0, &OutputPin::StreamMain, this, 0, nullptr);
  }
  if (thread_ == nullptr) {
    hr = HRESULT_FROM_WIN32(GetLastError());
    Deactivate();
    return FAILED(hr) ? hr : E_FAIL;
  }
  return S_OK;
}

void OutputPin::Deactivate() {
  if (stop_ != nullptr) {
    SetEvent(stop_);
  }
  // Decommitting first wakes a GetBuffer that waits for a free sample.
  if (allocator_ != nullptr) {
    allocator_->Decommit();
  }
  if (thread_ != nullptr) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  for (HANDLE* event : {&stop_, &running_}) {
    if (*event != nullptr) {
      CloseHandle(*event);
      *event = nullptr;
    }
  }
}

void OutputPin::SetRunning(bool running) {
  if (running_ != nullptr) {
    running ? SetEvent(running_) : ResetEvent(running_);
  }
}

DWORD WINAPI OutputPin::StreamMain(void* self) {
  static_cast<OutputPin*>(self)->Stream();
  return 0;
}

void OutputPin::Stream() {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  std::uint64_t frame = 0;
  for (std::uint64_t tick = 0;; ++tick) {
    // Paced by the clock, not by the time each frame took; frames of a pause are skipped.
    QueryPerformanceCounter(&now);
    const LONGLONG due =
        start.QuadPart + static_cast<LONGLONG>(tick) * frequency.QuadPart / kFramesPerSecond;
    const DWORD wait = due > now.QuadPart
                           ? static_cast<DWORD>((due - now.QuadPart) * 1000 / frequency.QuadPart)
                           : 0;
    if (WaitForSingleObject(stop_, wait) == WAIT_OBJECT_0) {
      return;
    }
    HANDLE events[2] = {stop_, running_};
    if (WaitForMultipleObjects(2, events, FALSE, 0) != WAIT_OBJECT_0 + 1) {
      continue;  // paused: a live source sends nothing
    }
    IMediaSample* sample = nullptr;
    if (FAILED(allocator_->GetBuffer(&sample, nullptr, nullptr, 0))) {
      return;  // decommitted: stopping
    }
    BYTE* data = nullptr;
    if (SUCCEEDED(sample->GetPointer(&data)) && sample->GetSize() >= kWidth * kHeight * 4) {
      const std::ptrdiff_t stride = kWidth * 4;
      DrawFrame(data + stride * (kHeight - 1), -stride, kWidth, kHeight, frame);
      sample->SetActualDataLength(kWidth * kHeight * 4);
      sample->SetSyncPoint(TRUE);
      // No time stamps: the renderer shows each frame as it arrives, the pacing is ours.
      sample->SetTime(nullptr, nullptr);
      const HRESULT hr = input_->Receive(sample);
      ++frame;
      if (hr != S_OK) {
        sample->Release();
        return;  // the renderer wants no more (stopping or failed)
      }
    }
    sample->Release();
  }
}

}  // namespace vcam

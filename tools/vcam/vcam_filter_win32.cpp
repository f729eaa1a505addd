// The virtual camera's filter object: its states, its place in a graph and the machine-wide
// mark that makes it a one-graph-at-a-time device.
#include <cwchar>

#include "vcam_filter_win32.h"

namespace vcam {

namespace {
// Named in the session's namespace, as a device handle is visible to every process.
constexpr wchar_t kInUseName[] = L"Local\\KestrelVirtualCameraInUse";
}  // namespace

Filter::Filter() {
  InitializeCriticalSection(&lock);
  ++gObjects;
}

Filter::~Filter() {
  // The pin is a member: its connection goes here, while the lock still exists. A graph
  // normally disconnects first; a caller releasing a connected filter is covered too.
  Stop();
  pin_.DropConnection();
  if (clock_ != nullptr) {
    clock_->Release();
  }
  DeleteCriticalSection(&lock);
  --gObjects;
}

STDMETHODIMP Filter::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) ||
      IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IBaseFilter)) {
    *object = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) Filter::AddRef() {
  return ++references_;
}

STDMETHODIMP_(ULONG) Filter::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    delete this;
  }
  return left;
}

STDMETHODIMP Filter::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) {
    return E_POINTER;
  }
  *clsid = kClsid;
  return S_OK;
}

FILTER_STATE Filter::State() {
  return state_;
}

STDMETHODIMP Filter::Stop() {
  EnterCriticalSection(&lock);
  pin_.Deactivate();
  if (inUse_ != nullptr) {
    CloseHandle(inUse_);
    inUse_ = nullptr;
  }
  state_ = State_Stopped;
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP Filter::Pause() {
  EnterCriticalSection(&lock);
  HRESULT hr = S_OK;
  if (state_ == State_Stopped) {
    inUse_ = CreateMutexW(nullptr, FALSE, kInUseName);
    if (inUse_ == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
      hr = HRESULT_FROM_WIN32(ERROR_BUSY);
    } else {
      hr = pin_.Activate();
    }
    if (FAILED(hr) && inUse_ != nullptr) {
      CloseHandle(inUse_);
      inUse_ = nullptr;
    }
  }
  if (SUCCEEDED(hr)) {
    pin_.SetRunning(false);
    state_ = State_Paused;
  }
  LeaveCriticalSection(&lock);
  return hr;
}

STDMETHODIMP Filter::Run(REFERENCE_TIME) {
  EnterCriticalSection(&lock);
  HRESULT hr = state_ == State_Stopped ? Pause() : S_OK;
  if (SUCCEEDED(hr)) {
    pin_.SetRunning(true);
    state_ = State_Running;
  }
  LeaveCriticalSection(&lock);
  return hr;
}

STDMETHODIMP Filter::GetState(DWORD, FILTER_STATE* state) {
  if (state == nullptr) {
    return E_POINTER;
  }
  EnterCriticalSection(&lock);
  *state = state_;
  LeaveCriticalSection(&lock);
  // A live source has nothing to cue while paused.
  return *state == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP Filter::SetSyncSource(IReferenceClock* clock) {
  EnterCriticalSection(&lock);
  if (clock != nullptr) {
    clock->AddRef();
  }
  if (clock_ != nullptr) {
    clock_->Release();
  }
  clock_ = clock;
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP Filter::GetSyncSource(IReferenceClock** clock) {
  if (clock == nullptr) {
    return E_POINTER;
  }
  EnterCriticalSection(&lock);
  *clock = clock_;
  if (clock_ != nullptr) {
    clock_->AddRef();
  }
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP Filter::EnumPins(IEnumPins** pins) {
  if (pins == nullptr) {
    return E_POINTER;
  }
  *pins = NewPinEnum(&pin_);
  return S_OK;
}

STDMETHODIMP Filter::FindPin(LPCWSTR id, IPin** pin) {
  if (id == nullptr || pin == nullptr) {
    return E_POINTER;
  }
  if (std::wcscmp(id, L"Capture") != 0) {
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
  }
  *pin = &pin_;
  pin_.AddRef();
  return S_OK;
}

STDMETHODIMP Filter::QueryFilterInfo(FILTER_INFO* info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  EnterCriticalSection(&lock);
  wcscpy_s(info->achName, MAX_FILTER_NAME, name_);
  info->pGraph = graph_;
  if (graph_ != nullptr) {
    graph_->AddRef();
  }
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP Filter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  EnterCriticalSection(&lock);
  graph_ = graph;
  name_[0] = L'\0';
  if (name != nullptr) {
    wcsncpy_s(name_, MAX_FILTER_NAME, name, _TRUNCATE);
  }
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP Filter::QueryVendorInfo(LPWSTR*) {
  return E_NOTIMPL;
}

}  // namespace vcam

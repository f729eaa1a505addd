// The virtual camera: a DirectShow source filter with one output pin that delivers the test
// pattern as 640 x 480 RGB32 frames, 30 a second, while the graph runs. Like a real webcam it
// serves one graph at a time on the machine: a second one fails to start with ERROR_BUSY.
#pragma once

#include <dshow.h>
#include <windows.h>

#include <atomic>

namespace vcam {

// {65198AD2-8542-47B5-AC5D-1ED9CC851011}
inline constexpr GUID kClsid = {
    0x65198ad2, 0x8542, 0x47b5, {0xac, 0x5d, 0x1e, 0xd9, 0xcc, 0x85, 0x10, 0x11}};

// Live COM objects and server locks, for DllCanUnloadNow.
extern std::atomic<long> gObjects;

class Filter;

class OutputPin : public IPin {
 public:
  explicit OutputPin(Filter* filter) : filter_(filter) {}

  // IUnknown: the pin lives and dies with its filter.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IPin
  STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP ConnectedTo(IPin** pin) override;
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
  STDMETHODIMP QueryId(LPWSTR* id) override;
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
  STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;
  STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // Streaming, called by the filter under its lock.
  HRESULT Activate();  // stopped to paused: commits the allocator, starts the thread
  void Deactivate();   // to stopped: ends the thread, decommits the allocator
  void SetRunning(bool running);
  // Lets go of the peer and the allocator without the filter's lock (the filter's end).
  void DropConnection();

 private:
  static DWORD WINAPI StreamMain(void* self);
  void Stream();

  Filter* filter_;
  IPin* connected_ = nullptr;
  IMemInputPin* input_ = nullptr;
  IMemAllocator* allocator_ = nullptr;
  HANDLE thread_ = nullptr;
  HANDLE stop_ = nullptr;
  HANDLE running_ = nullptr;
};

class Filter : public IBaseFilter {
 public:
  Filter();
  virtual ~Filter();

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
  STDMETHODIMP EnumPins(IEnumPins** pins) override;
  STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
  STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

  FILTER_STATE State();
  CRITICAL_SECTION lock;

 private:
  std::atomic<ULONG> references_{1};
  OutputPin pin_{this};
  FILTER_STATE state_ = State_Stopped;
  IFilterGraph* graph_ = nullptr;  // not counted: the graph owns the filter
  WCHAR name_[MAX_FILTER_NAME] = {};
  IReferenceClock* clock_ = nullptr;
  HANDLE inUse_ = nullptr;  // the machine-wide mark of a streaming camera
};

// The one media type the pin offers, and the copies COM callers receive.
void FillMediaType(AM_MEDIA_TYPE* type);  // pbFormat from CoTaskMemAlloc
bool AcceptsMediaType(const AM_MEDIA_TYPE* type);
IEnumMediaTypes* NewMediaTypeEnum();
IEnumPins* NewPinEnum(IPin* pin);

}  // namespace vcam

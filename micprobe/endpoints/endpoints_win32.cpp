// Core Audio endpoints: the active endpoint walk, the default endpoint's name, the
// policy-configuration object for the default switch and the default speaker's volume.
// windows.h first: the multimedia and audio headers need its types.
#include <windows.h>

#include <audioclient.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <propidl.h>

#include <cwchar>
#include <vector>

#include "endpoints/endpoints_win32.h"

namespace micprobe::win32 {

namespace {

const CLSID kEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID kEnumeratorInterface = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const IID kEndpointVolumeInterface = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};
const IID kAudioClientInterface = {
    0x1CB9AD4C, 0xDBFA, 0x4C32, {0xB1, 0x78, 0xC2, 0xF5, 0x68, 0xA7, 0x03, 0xB2}};
const PROPERTYKEY kFriendlyName = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 14};
const CLSID kPolicyConfigClass = {
    0x294935CE, 0xF637, 0x4E7C, {0xA4, 0x1B, 0xAB, 0x25, 0x54, 0x60, 0xB8, 0x62}};
const IID kPolicyConfigInterface = {
    0x568B9108, 0x44BF, 0x40B4, {0x90, 0x06, 0x86, 0xAF, 0xE5, 0xB5, 0xA6, 0x20}};
constexpr DWORD kAllContexts = 23;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// The policy-configuration interface: only its tenth method after IUnknown's is used, the one
// that makes an endpoint the default of a role.
struct IPolicyConfig : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Unused1() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused2() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused3() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused6() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused9() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(LPCWSTR id, ERole role) = 0;
};
#pragma GCC diagnostic pop

template <typename T>
void Release(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

// Step texts: diagnostics for a debugger only, never passed on.
void Trace(const wchar_t* format, unsigned value) {
  wchar_t text[259];
  std::swprintf(text, 259, format, value);
  OutputDebugStringW(text);
}

struct StepTexts {
  const wchar_t* create;
  const wchar_t* enumerate;
  const wchar_t* count;
  const wchar_t* item;
  const wchar_t* id;
  const wchar_t* store;
  const wchar_t* name;
  const wchar_t* type;
};

const StepTexts kCaptureTexts = {
    L"CoCreateInstance(IMMDeviceEnumerator) failed: hr = 0x%08x",
    L"IMMDeviceEnumerator::EnumAudioEndpoints failed: hr = 0x%08x",
    L"IMMDeviceCollection::GetCount failed: hr = 0x%08x",
    L"IMMDeviceCollection::Item failed: hr = 0x%08x",
    L"IMMDeviceCollection::GetId failed: hr = 0x%08x",
    L"IMMDevice::OpenPropertyStore failed: hr = 0x%08x",
    L"IPropertyStore::GetValue failed: hr = 0x%08x",
    L"PKEY_Device_FriendlyName variant type is %u - expected VT_LPWSTR"};
const StepTexts kRenderTexts = {L"获取系统扬声器，创建Com对象失败",
                                L"枚举系统所有扬声器失败",
                                L"获取扬声器数失败: hr = 0x%08x",
                                L"获取指定索引项扬声器失败",
                                L"获取扬声器ID失败",
                                L"检索设备属性存储的接口失败",
                                L"获取设置名称失败",
                                L"获取设置名称错误，不是VT_LPWSTR类型"};

IMMDeviceEnumerator* CreateEnumerator(HRESULT* result) {
  void* object = nullptr;
  *result =
      CoCreateInstance(kEnumeratorClass, nullptr, kAllContexts, kEnumeratorInterface, &object);
  return FAILED(*result) ? nullptr : static_cast<IMMDeviceEnumerator*>(object);
}

// The friendly name of a device; false with the failing step's text traced.
bool FriendlyName(IMMDevice* device, const StepTexts& texts, std::wstring* name,
                  bool* clearFailed) {
  IPropertyStore* store = nullptr;
  HRESULT hr = device->OpenPropertyStore(STGM_READ, &store);
  if (FAILED(hr)) {
    Trace(texts.store, static_cast<unsigned>(hr));
    return false;
  }
  PROPVARIANT value;
  PropVariantInit(&value);
  hr = store->GetValue(kFriendlyName, &value);
  bool named = false;
  if (FAILED(hr)) {
    Trace(texts.name, static_cast<unsigned>(hr));
  } else if (value.vt != VT_LPWSTR) {
    Trace(texts.type, value.vt);
  } else {
    *name = value.pwszVal == nullptr ? std::wstring() : std::wstring(value.pwszVal);
    named = true;
  }
  *clearFailed = FAILED(PropVariantClear(&value));
  Release(store);
  return named;
}

class SpeakerVolume : public ISpeakerVolume {
 public:
  SpeakerVolume(IMMDeviceEnumerator* enumerator, IMMDevice* device, IAudioEndpointVolume* volume,
                IAudioClient* client, const GUID& context)
      : enumerator_(enumerator),
        device_(device),
        volume_(volume),
        client_(client),
        context_(context) {}
  ~SpeakerVolume() override {
    Release(client_);
    Release(volume_);
    Release(device_);
    Release(enumerator_);
  }
  SpeakerVolume(const SpeakerVolume&) = delete;
  SpeakerVolume& operator=(const SpeakerVolume&) = delete;

  bool GetLevel(float* level) override {
    return SUCCEEDED(volume_->GetMasterVolumeLevelScalar(level));
  }
  bool GetMute(bool* muted) override {
    BOOL flag = FALSE;
    if (FAILED(volume_->GetMute(&flag))) {
      OutputDebugStringW(L"GetMute");
      return false;
    }
    *muted = flag != FALSE;
    return true;
  }
  bool SetMute(bool muted, bool freshContext) override {
    return SUCCEEDED(volume_->SetMute(muted ? TRUE : FALSE, Context(freshContext)));
  }
  bool SetLevel(float level, bool freshContext) override {
    return SUCCEEDED(volume_->SetMasterVolumeLevelScalar(level, Context(freshContext)));
  }

 private:
  const GUID* Context(bool fresh) const { return fresh ? &context_ : &GUID_NULL; }

  IMMDeviceEnumerator* enumerator_;
  IMMDevice* device_;
  IAudioEndpointVolume* volume_;
  IAudioClient* client_;
  GUID context_;
};

class Endpoints : public IEndpointBackend {
 public:
  void EnterCall() override {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Entered().push_back(SUCCEEDED(hr) ? 1 : 0);
  }
  void LeaveCall() override {
    std::vector<char>& entered = Entered();
    if (entered.empty()) {
      return;
    }
    if (entered.back() != 0) {
      CoUninitialize();
    }
    entered.pop_back();
  }

  bool WalkActive(Flow flow, Visit visit, void* context) override {
    const StepTexts& texts = flow == Flow::kCapture ? kCaptureTexts : kRenderTexts;
    HRESULT hr = S_OK;
    IMMDeviceEnumerator* enumerator = CreateEnumerator(&hr);
    if (enumerator == nullptr) {
      Trace(texts.create, static_cast<unsigned>(hr));
      return false;
    }
    IMMDeviceCollection* collection = nullptr;
    hr = enumerator->EnumAudioEndpoints(DataFlow(flow), DEVICE_STATE_ACTIVE, &collection);
    if (FAILED(hr)) {
      Trace(texts.enumerate, static_cast<unsigned>(hr));
      Release(enumerator);
      return false;
    }
    UINT count = 0;
    hr = collection->GetCount(&count);
    bool walked = SUCCEEDED(hr);
    if (!walked) {
      Trace(texts.count, static_cast<unsigned>(hr));
    }
    for (UINT i = 0; walked && i < count; ++i) {
      walked = VisitDevice(collection, i, texts, visit, context);
    }
    Release(collection);
    Release(enumerator);
    return walked;
  }

  bool DefaultName(Flow flow, std::wstring* name) override {
    HRESULT hr = S_OK;
    IMMDeviceEnumerator* enumerator = CreateEnumerator(&hr);
    if (enumerator == nullptr) {
      return false;
    }
    IMMDevice* device = nullptr;
    bool named = false;
    if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(DataFlow(flow), eMultimedia, &device))) {
      bool clearFailed = false;
      named = FriendlyName(device, kCaptureTexts, name, &clearFailed);
      Release(device);
    }
    Release(enumerator);
    return named;
  }

  std::int32_t MakeDefault(const std::wstring& id) override {
    void* object = nullptr;
    HRESULT hr = CoCreateInstance(kPolicyConfigClass, nullptr, kAllContexts, kPolicyConfigInterface,
                                  &object);
    if (FAILED(hr) || object == nullptr) {
      return FAILED(hr) ? static_cast<std::int32_t>(hr) : static_cast<std::int32_t>(E_POINTER);
    }
    auto* policy = static_cast<IPolicyConfig*>(object);
    hr = policy->SetDefaultEndpoint(id.c_str(), eConsole);
    Release(policy);
    return static_cast<std::int32_t>(hr);
  }

  std::unique_ptr<ISpeakerVolume> OpenSpeakerVolume(bool forChange) override {
    GUID context = GUID_NULL;
    if (forChange && FAILED(CoCreateGuid(&context))) {
      OutputDebugStringW(L"创建GUID失败");
      return nullptr;
    }
    HRESULT hr = S_OK;
    IMMDeviceEnumerator* enumerator = CreateEnumerator(&hr);
    if (enumerator == nullptr) {
      OutputDebugStringW(L"创建Com对象失败");
      return nullptr;
    }
    IMMDevice* device = nullptr;
    void* volume = nullptr;
    void* client = nullptr;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, &device))) {
      OutputDebugStringW(L"采集默认设备的音频失败");
    } else if (FAILED(device->Activate(kEndpointVolumeInterface, kAllContexts, nullptr, &volume))) {
      OutputDebugStringW(L"创建系统音量控制接口COM对象失败");
    } else if (FAILED(device->Activate(kAudioClientInterface, kAllContexts, nullptr, &client))) {
      OutputDebugStringW(L"获取音频端点设备的IMMDevice接口失败");
    } else {
      return std::make_unique<SpeakerVolume>(enumerator, device,
                                             static_cast<IAudioEndpointVolume*>(volume),
                                             static_cast<IAudioClient*>(client), context);
    }
    auto* volumeObject = static_cast<IAudioEndpointVolume*>(volume);
    Release(volumeObject);
    Release(device);
    Release(enumerator);
    return nullptr;
  }

 private:
  static EDataFlow DataFlow(Flow flow) { return flow == Flow::kCapture ? eCapture : eRender; }

  // The calling thread's nesting of COM calls and whether each initialisation succeeded.
  static std::vector<char>& Entered() {
    thread_local std::vector<char> entered;
    return entered;
  }

  static bool VisitDevice(IMMDeviceCollection* collection, UINT index, const StepTexts& texts,
                          Visit visit, void* context) {
    IMMDevice* device = nullptr;
    HRESULT hr = collection->Item(index, &device);
    if (FAILED(hr)) {
      Trace(texts.item, static_cast<unsigned>(hr));
      return false;
    }
    LPWSTR id = nullptr;
    hr = device->GetId(&id);
    if (FAILED(hr) || id == nullptr) {
      Trace(texts.id, static_cast<unsigned>(hr));
      Release(device);
      return false;
    }
    const std::wstring endpointId(id);
    CoTaskMemFree(id);
    std::wstring name;
    bool clearFailed = false;
    const bool named = FriendlyName(device, texts, &name, &clearFailed);
    Release(device);
    if (!named) {
      return false;
    }
    visit(endpointId, name, context);
    return !clearFailed;
  }
};

}  // namespace

std::unique_ptr<IEndpointBackend> MakeEndpoints() {
  return std::make_unique<Endpoints>();
}

}  // namespace micprobe::win32

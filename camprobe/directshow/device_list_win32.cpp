#include "directshow/device_list_win32.h"

#include <functional>

#include "kestrel/codepage.h"

namespace camprobe::win32 {

namespace {

// Calls visit(moniker, path) for every video input device until it returns false.
bool ForEachVideoInput(const std::function<bool(IMoniker*, const std::wstring&)>& visit) {
  ICreateDevEnum* system = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                              IID_ICreateDevEnum, reinterpret_cast<void**>(&system)))) {
    return false;
  }
  IEnumMoniker* devices = nullptr;
  const HRESULT hr = system->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &devices, 0);
  system->Release();
  // S_FALSE with no enumerator: nothing is registered in the category.
  if (hr != S_OK || devices == nullptr) {
    if (devices != nullptr) {
      devices->Release();
    }
    return SUCCEEDED(hr);
  }
  IBindCtx* context = nullptr;
  CreateBindCtx(0, &context);
  IMoniker* moniker = nullptr;
  bool more = true;
  while (more && devices->Next(1, &moniker, nullptr) == S_OK) {
    std::wstring path;
    LPOLESTR name = nullptr;
    if (context != nullptr && SUCCEEDED(moniker->GetDisplayName(context, nullptr, &name)) &&
        name != nullptr) {
      path = name;
      CoTaskMemFree(name);
    }
    more = visit(moniker, path);
    moniker->Release();
  }
  if (context != nullptr) {
    context->Release();
  }
  devices->Release();
  return true;
}

std::wstring FriendlyName(IMoniker* moniker) {
  IPropertyBag* bag = nullptr;
  if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                    reinterpret_cast<void**>(&bag)))) {
    return std::wstring();
  }
  std::wstring name;
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR &&
      value.bstrVal != nullptr) {
    name.assign(value.bstrVal, SysStringLen(value.bstrVal));
  }
  VariantClear(&value);
  bag->Release();
  return name;
}

}  // namespace

bool ListVideoInputs(std::vector<CameraDevice>* devices) {
  const std::unique_ptr<kestrel::ICodePage> pages = kestrel::MakeSystemCodePage();
  return ForEachVideoInput([&](IMoniker* moniker, const std::wstring& path) {
    devices->push_back(CameraDevice{pages->WideToAnsi(FriendlyName(moniker)), path});
    return true;
  });
}

IBaseFilter* BindVideoInput(const std::wstring& path, HRESULT* result) {
  IBaseFilter* filter = nullptr;
  bool found = false;
  *result = S_OK;
  ForEachVideoInput([&](IMoniker* moniker, const std::wstring& candidate) {
    if (candidate != path) {
      return true;
    }
    found = true;
    *result =
        moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter));
    return false;
  });
  if (!found) {
    *result = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
  }
  return SUCCEEDED(*result) ? filter : nullptr;
}

}  // namespace camprobe::win32

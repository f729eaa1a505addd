// The virtual camera as an in-process COM server: its class factory and the two entry points
// COM calls. Registration is done by scripts/vcam (registry keys), not by the DLL.
#include <new>

#include "vcam_filter_win32.h"

namespace vcam {

std::atomic<long> gObjects{0};

namespace {

class Factory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // One static factory: its count does not keep the server loaded, LockServer does.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    Filter* filter = new (std::nothrow) Filter();
    if (filter == nullptr) {
      return E_OUTOFMEMORY;
    }
    const HRESULT hr = filter->QueryInterface(iid, object);
    filter->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? ++gObjects : --gObjects;
    return S_OK;
  }
};

Factory gFactory;

}  // namespace

}  // namespace vcam

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (!IsEqualCLSID(clsid, vcam::kClsid)) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return vcam::gFactory.QueryInterface(iid, object);
}

// Once loaded, the camera stays, as a real camera's driver does: each load of this DLL leaves
// about 75 KB in the process heap that its unload does not give back (measured under Wine), and
// COM unloads it with the apartment of every preview thread, so a program that opens the camera
// once a run would keep that much more after each run.
extern "C" HRESULT WINAPI DllCanUnloadNow() {
  return S_FALSE;
}

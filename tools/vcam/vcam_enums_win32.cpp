// The virtual camera's media type and the two one-element enumerators DirectShow asks for.
#include <cstring>

#include "test_pattern.h"
#include "vcam_filter_win32.h"

namespace vcam {

void FillMediaType(AM_MEDIA_TYPE* type) {
  std::memset(type, 0, sizeof(*type));
  type->majortype = MEDIATYPE_Video;
  type->subtype = MEDIASUBTYPE_RGB32;
  type->bFixedSizeSamples = TRUE;
  type->lSampleSize = kWidth * kHeight * 4;
  type->formattype = FORMAT_VideoInfo;
  auto* info = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
  if (info == nullptr) {
    return;
  }
  std::memset(info, 0, sizeof(*info));
  info->AvgTimePerFrame = 10000000 / kFramesPerSecond;
  info->dwBitRate = static_cast<DWORD>(type->lSampleSize) * 8 * kFramesPerSecond;
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = kWidth;
  info->bmiHeader.biHeight = kHeight;  // bottom-up
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = 32;
  info->bmiHeader.biCompression = BI_RGB;
  info->bmiHeader.biSizeImage = type->lSampleSize;
  type->cbFormat = sizeof(VIDEOINFOHEADER);
  type->pbFormat = reinterpret_cast<BYTE*>(info);
}

bool AcceptsMediaType(const AM_MEDIA_TYPE* type) {
  if (type == nullptr) {
    return true;
  }
  // A partial type (GUID_NULL fields) from the graph matches where it says anything.
  const auto matches = [](const GUID& asked, const GUID& ours) {
    return IsEqualGUID(asked, GUID_NULL) || IsEqualGUID(asked, ours);
  };
  if (!matches(type->majortype, MEDIATYPE_Video) || !matches(type->subtype, MEDIASUBTYPE_RGB32) ||
      !matches(type->formattype, FORMAT_VideoInfo)) {
    return false;
  }
  if (IsEqualGUID(type->formattype, FORMAT_VideoInfo) && type->pbFormat != nullptr &&
      type->cbFormat >= sizeof(VIDEOINFOHEADER)) {
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
    return info->bmiHeader.biWidth == kWidth && info->bmiHeader.biHeight == kHeight &&
           info->bmiHeader.biBitCount == 32;
  }
  return true;
}

namespace {

// The shared part of both enumerators: one element, a cursor, a count.
template <typename Interface>
class OneElementEnum : public Interface {
 public:
  OneElementEnum() { ++gObjects; }
  virtual ~OneElementEnum() { --gObjects; }
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const ULONG moved = count <= Left() ? count : Left();
    position_ += moved;
    return moved == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }

 protected:
  ULONG Left() const { return position_ == 0 ? 1 : 0; }
  ULONG position_ = 0;

 private:
  std::atomic<ULONG> references_{1};
};

class MediaTypeEnum : public OneElementEnum<IEnumMediaTypes> {
 public:
  STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override {
    if (types == nullptr || (count > 1 && fetched == nullptr)) {
      return E_POINTER;
    }
    ULONG given = 0;
    if (count > 0 && Left() > 0) {
      auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
      if (type == nullptr) {
        return E_OUTOFMEMORY;
      }
      FillMediaType(type);
      types[0] = type;
      given = 1;
      ++position_;
    }
    if (fetched != nullptr) {
      *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Clone(IEnumMediaTypes** copy) override {
    if (copy == nullptr) {
      return E_POINTER;
    }
    auto* twin = new MediaTypeEnum();
    twin->position_ = position_;
    *copy = twin;
    return S_OK;
  }
};

class PinEnum : public OneElementEnum<IEnumPins> {
 public:
  explicit PinEnum(IPin* pin) : pin_(pin) { pin_->AddRef(); }
  ~PinEnum() override { pin_->Release(); }
  STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override {
    if (pins == nullptr || (count > 1 && fetched == nullptr)) {
      return E_POINTER;
    }
    ULONG given = 0;
    if (count > 0 && Left() > 0) {
      pins[0] = pin_;
      pin_->AddRef();
      given = 1;
      ++position_;
    }
    if (fetched != nullptr) {
      *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Clone(IEnumPins** copy) override {
    if (copy == nullptr) {
      return E_POINTER;
    }
    auto* twin = new PinEnum(pin_);
    twin->position_ = position_;
    *copy = twin;
    return S_OK;
  }

 private:
  IPin* pin_;
};

}  // namespace

IEnumMediaTypes* NewMediaTypeEnum() {
  return new MediaTypeEnum();
}

IEnumPins* NewPinEnum(IPin* pin) {
  return new PinEnum(pin);
}

}  // namespace vcam

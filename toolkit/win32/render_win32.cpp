#include "windows_base.h"

#include "render_win32.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

// GDI+'s headers predate the warnings we build with.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#include <gdiplus.h>
#pragma GCC diagnostic pop

namespace toolkit {

namespace {

class GdiImage : public IImage {
 public:
  GdiImage(std::unique_ptr<Gdiplus::Bitmap> bitmap, float density)
      : bitmap_(std::move(bitmap)), density_(density) {}
  int Width() const override {
    return static_cast<int>(std::lround(static_cast<float>(bitmap_->GetWidth()) / density_));
  }
  int Height() const override {
    return static_cast<int>(std::lround(static_cast<float>(bitmap_->GetHeight()) / density_));
  }
  Gdiplus::Bitmap& Bitmap() const { return *bitmap_; }
  // The picture recoloured in `tone`, made on the first call with it and kept (a theme gives
  // the same two colours to every paint).
  Gdiplus::Bitmap* Toned(const TwoTone& tone) const;

 private:
  std::unique_ptr<Gdiplus::Bitmap> bitmap_;
  float density_;
  mutable std::unique_ptr<Gdiplus::Bitmap> toned_;
  mutable TwoTone tonedAs_;
};

bool Same(Color a, Color b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

Gdiplus::Bitmap* GdiImage::Toned(const TwoTone& tone) const {
  if (toned_ && tonedAs_.lightInk == tone.lightInk && Same(tonedAs_.ink, tone.ink) &&
      Same(tonedAs_.paper, tone.paper))
    return toned_.get();
  toned_.reset();
  const UINT w = bitmap_->GetWidth(), h = bitmap_->GetHeight();
  Gdiplus::Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
  Gdiplus::BitmapData from{};
  if (bitmap_->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &from) !=
      Gdiplus::Ok)
    return nullptr;
  auto copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(w), static_cast<INT>(h),
                                                PixelFormat32bppPARGB);
  Gdiplus::BitmapData to{};
  if (copy->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &to) !=
      Gdiplus::Ok) {
    bitmap_->UnlockBits(&from);
    return nullptr;
  }
  for (UINT y = 0; y < h; ++y) {
    const auto* in =
        static_cast<const std::uint8_t*>(from.Scan0) + y * static_cast<UINT>(from.Stride);
    auto* out = static_cast<std::uint8_t*>(to.Scan0) + y * static_cast<UINT>(to.Stride);
    for (UINT x = 0; x < w; ++x, in += 4, out += 4) {
      // Premultiplied BGRA in, straight colour to the tone, premultiplied out.
      Color pixel{0, 0, 0, in[3]};
      if (pixel.a) {
        pixel.r = static_cast<std::uint8_t>(std::min(255, in[2] * 255 / pixel.a));
        pixel.g = static_cast<std::uint8_t>(std::min(255, in[1] * 255 / pixel.a));
        pixel.b = static_cast<std::uint8_t>(std::min(255, in[0] * 255 / pixel.a));
      }
      Color c = tone.Of(pixel);
      out[0] = static_cast<std::uint8_t>(c.b * c.a / 255);
      out[1] = static_cast<std::uint8_t>(c.g * c.a / 255);
      out[2] = static_cast<std::uint8_t>(c.r * c.a / 255);
      out[3] = c.a;
    }
  }
  copy->UnlockBits(&to);
  bitmap_->UnlockBits(&from);
  toned_ = std::move(copy);
  tonedAs_ = tone;
  return toned_.get();
}

Gdiplus::Color ToGdi(Color c) {
  return Gdiplus::Color(c.a, c.r, c.g, c.b);
}

// A family that exists: the asked one, else a CJK family every Chinese Windows has (GDI+ has no
// font fallback, so a Latin family would draw Chinese as boxes).
const Gdiplus::FontFamily& Family(const std::wstring& face) {
  static std::map<std::wstring, std::unique_ptr<Gdiplus::FontFamily>> families;
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  auto it = families.find(face);
  if (it != families.end())
    return *it->second;
  for (const wchar_t* name : {face.c_str(), L"Microsoft YaHei", L"SimSun"}) {
    auto family = std::make_unique<Gdiplus::FontFamily>(name);
    if (family->GetLastStatus() == Gdiplus::Ok && family->IsAvailable()) {
      return *families.emplace(face, std::move(family)).first->second;
    }
  }
  return *families.emplace(face, std::make_unique<Gdiplus::FontFamily>(L"SimSun")).first->second;
}

Gdiplus::Font MakeFont(const FontDesc& desc, float scale) {
  int style = desc.weight >= 600 ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
  if (desc.underline)
    style |= Gdiplus::FontStyleUnderline;
  return Gdiplus::Font(&Family(desc.face), std::max(1.0f, desc.size * scale), style,
                       Gdiplus::UnitPixel);
}

void Prepare(Gdiplus::Graphics& g) {
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  g.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
}

}  // namespace

struct GdiplusRender::Surface {
  std::uint8_t* pixels = nullptr;
  int width = 0, height = 0;
  std::unique_ptr<Gdiplus::Bitmap> bitmap;
  std::unique_ptr<Gdiplus::Graphics> graphics;
};

bool GdiplusRender::Startup() {
  static bool ok = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return ok;
}

GdiplusRender::GdiplusRender() : surface_(std::make_unique<Surface>()) {
  Startup();
}
GdiplusRender::~GdiplusRender() = default;

GdiplusRender::Surface& GdiplusRender::Target() {
  Surface& s = *surface_;
  if (s.pixels != Pixels() || s.width != Width() || s.height != Height() || !s.graphics) {
    s.graphics.reset();
    s.bitmap = std::make_unique<Gdiplus::Bitmap>(Width(), Height(), Stride(), PixelFormat32bppPARGB,
                                                 Pixels());
    s.graphics = std::make_unique<Gdiplus::Graphics>(s.bitmap.get());
    Prepare(*s.graphics);
    s.pixels = Pixels();
    s.width = Width();
    s.height = Height();
  }
  PixelBox clip = ClipBox();
  s.graphics->SetClip(Gdiplus::Rect(clip.x0, clip.y0, clip.x1 - clip.x0, clip.y1 - clip.y0));
  return s;
}

// Text starts at the box's edge (no GDI+ margin of a sixth of the size on either side), as the
// layouts place it: a box as wide as its glyphs holds them.
namespace {
void SetLines(Gdiplus::StringFormat& sf, bool wrap) {
  INT flags = Gdiplus::StringFormatFlagsMeasureTrailingSpaces;
  if (!wrap)
    flags |= Gdiplus::StringFormatFlagsNoWrap;
  sf.SetFormatFlags(flags);
}
}  // namespace

void GdiplusRender::DrawText(const std::wstring& text, const RectF& rect, const FontDesc& font,
                             const TextFormat& format, Color color) {
  if (text.empty() || !Pixels() || ClipBox().Empty())
    return;
  Surface& s = Target();
  Gdiplus::Font f = MakeFont(font, Scale());
  Gdiplus::StringFormat sf(Gdiplus::StringFormat::GenericTypographic());
  SetLines(sf, format.wrap);
  static const Gdiplus::StringAlignment kAlign[] = {
      Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter, Gdiplus::StringAlignmentFar};
  sf.SetAlignment(kAlign[static_cast<int>(format.align)]);
  sf.SetLineAlignment(kAlign[static_cast<int>(format.valign)]);
  sf.SetTrimming(format.ellipsis ? Gdiplus::StringTrimmingEllipsisCharacter
                                 : Gdiplus::StringTrimmingNone);
  Gdiplus::SolidBrush brush(ToGdi(color));
  const float k = Scale();
  Gdiplus::RectF box(rect.x * k, rect.y * k, rect.w * k, rect.h * k);
  if (!format.wrap && !format.ellipsis) {
    // GDI+ leaves out every character that does not fit whole ("其中有" in a box a pixel too
    // narrow reads "其中"): one line gets all the room it wants, anchored where its alignment
    // says, and the control's clip cuts what overflows.
    constexpr float kRoom = 20000;
    float grow = kRoom - box.Width;
    if (format.align == TextAlign::kCenter)
      box.X -= grow / 2;
    else if (format.align == TextAlign::kRight)
      box.X -= grow;
    box.Width = kRoom;
  }
  s.graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), &f, box, &sf, &brush);
}

SizeF GdiplusRender::MeasureText(const std::wstring& text, const FontDesc& font, float maxWidth) {
  Startup();
  HDC dc = GetDC(nullptr);
  SizeF size;
  {
    Gdiplus::Graphics g(dc);
    Prepare(g);
    Gdiplus::Font f = MakeFont(font, Scale());
    const float k = Scale();
    Gdiplus::RectF layout(0, 0, maxWidth > 0 ? maxWidth * k : 100000.0f, 100000.0f);
    Gdiplus::RectF bounds;
    Gdiplus::StringFormat sf(Gdiplus::StringFormat::GenericTypographic());
    SetLines(sf, maxWidth > 0);
    g.MeasureString(text.c_str(), static_cast<INT>(text.size()), &f, layout, &sf, &bounds);
    size = {std::ceil(bounds.Width) / k, bounds.Height / k};
  }
  ReleaseDC(nullptr, dc);
  return size;
}

std::shared_ptr<IImage> GdiplusRender::LoadImage(const std::string& pngBytes) {
  return LoadImageAt(pngBytes, Scale());
}

std::shared_ptr<IImage> GdiplusRender::LoadImageAt(const std::string& pngBytes, float density) {
  Startup();
  if (pngBytes.empty() || density <= 0)
    return nullptr;
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(pngBytes.data()),
                                      static_cast<UINT>(pngBytes.size()));
  if (!stream)
    return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream));
  stream->Release();
  if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok || decoded->GetWidth() == 0) {
    return nullptr;
  }
  // Decoded once into premultiplied pixels, so every draw is a plain blend.
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(decoded->GetWidth()),
                                                  static_cast<INT>(decoded->GetHeight()),
                                                  PixelFormat32bppPARGB);
  {
    Gdiplus::Graphics g(bitmap.get());
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    g.DrawImage(decoded.get(), 0, 0, static_cast<INT>(decoded->GetWidth()),
                static_cast<INT>(decoded->GetHeight()));
  }
  return std::make_shared<GdiImage>(std::move(bitmap), density);
}

void GdiplusRender::DrawImage(const IImage& image, const RectF& destination, float opacity) {
  if (const auto* picture = dynamic_cast<const GdiImage*>(&image))
    DrawBitmap(picture->Bitmap(), destination, opacity);
}

void GdiplusRender::DrawImageTwoTone(const IImage& image, const RectF& destination,
                                     const TwoTone& tone) {
  const auto* picture = dynamic_cast<const GdiImage*>(&image);
  if (!picture || !Pixels() || ClipBox().Empty())
    return;
  if (Gdiplus::Bitmap* toned = picture->Toned(tone))
    DrawBitmap(*toned, destination, 1);
}

void GdiplusRender::DrawBitmap(Gdiplus::Bitmap& bitmap, const RectF& destination, float opacity) {
  if (!Pixels() || ClipBox().Empty() || opacity <= 0)
    return;
  Surface& s = Target();
  const float k = Scale();
  // Whole device pixels: a picture made for this scale lands 1:1 and stays crisp.
  Gdiplus::Rect box(static_cast<INT>(std::lround(destination.x * k)),
                    static_cast<INT>(std::lround(destination.y * k)),
                    static_cast<INT>(std::lround(destination.w * k)),
                    static_cast<INT>(std::lround(destination.h * k)));
  Gdiplus::ImageAttributes attributes;
  if (opacity < 1) {
    Gdiplus::ColorMatrix m = {{{1, 0, 0, 0, 0},
                               {0, 1, 0, 0, 0},
                               {0, 0, 1, 0, 0},
                               {0, 0, 0, opacity, 0},
                               {0, 0, 0, 0, 1}}};
    attributes.SetColorMatrix(&m);
  }
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  s.graphics->DrawImage(&bitmap, box, 0, 0, static_cast<INT>(bitmap.GetWidth()),
                        static_cast<INT>(bitmap.GetHeight()), Gdiplus::UnitPixel, &attributes);
}

}  // namespace toolkit

namespace toolkit {

void* IconFromPng(const std::string& pngBytes) {
  GdiplusRender::Startup();
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(pngBytes.data()),
                                      static_cast<UINT>(pngBytes.size()));
  if (!stream)
    return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
  stream->Release();
  HICON icon = nullptr;
  if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok)
    bitmap->GetHICON(&icon);
  return icon;
}

}  // namespace toolkit

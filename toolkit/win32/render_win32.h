// The Win32 painter: shapes from the portable rasteriser, text and PNG pictures with GDI+, all
// into one 32-bit premultiplied buffer. GDI+ is asked for text only, which it anti-aliases the
// same on Windows 7 to 11 and under Wine; it draws no geometry here.
#pragma once

#include <memory>
#include <string>

#include "raster_painter.h"

namespace Gdiplus {
class Bitmap;
}

namespace toolkit {

class GdiplusRender : public RasterPainter {
 public:
  GdiplusRender();
  ~GdiplusRender() override;
  GdiplusRender(const GdiplusRender&) = delete;
  GdiplusRender& operator=(const GdiplusRender&) = delete;

  void DrawText(const std::wstring& text, const RectF& rect, const FontDesc& font,
                const TextFormat& format, Color color) override;
  SizeF MeasureText(const std::wstring& text, const FontDesc& font, float maxWidth) override;
  // PNG bytes made for this painter's scale (the resources hold 1, 1.5 and 2 times variants).
  std::shared_ptr<IImage> LoadImage(const std::string& pngBytes) override;
  // PNG bytes drawn at `density` device pixels per layout pixel.
  std::shared_ptr<IImage> LoadImageAt(const std::string& pngBytes, float density);
  void DrawImage(const IImage& image, const RectF& destination, float opacity) override;
  void DrawImageTwoTone(const IImage& image, const RectF& destination,
                        const TwoTone& tone) override;

  // Starts GDI+ once for the process; true when it is usable.
  static bool Startup();

 private:
  struct Surface;
  Surface& Target();
  void DrawBitmap(Gdiplus::Bitmap& bitmap, const RectF& destination, float opacity);
  std::unique_ptr<Surface> surface_;
};

}  // namespace toolkit

namespace toolkit {
// An icon (HICON) made from PNG bytes with GDI+; null when they are not a picture.
void* IconFromPng(const std::string& pngBytes);
}  // namespace toolkit

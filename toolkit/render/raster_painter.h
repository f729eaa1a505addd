// The shape half of the painter: rounded rectangles, circles, arcs, lines and soft shadows drawn
// anti-aliased into a 32-bit premultiplied BGRA buffer (the layout a Windows DIB section and a
// layered window expect). Portable, so its pixels are tested natively; the Win32 painter adds
// text and pictures on top of the same buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/render.h"

namespace toolkit {

// A clip rectangle in device pixels, right and bottom exclusive.
struct PixelBox {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

class RasterPainter : public IRender {
 public:
  RasterPainter() = default;
  // Draws into `pixels` (width x height, 4 bytes a pixel, rows top-down, `stride` bytes apart),
  // which the caller owns and keeps alive.
  void Attach(std::uint8_t* pixels, int width, int height, int stride, float scale);

  float Scale() const override { return scale_; }
  void PushClip(const RectF& rect) override;
  void PopClip() override;
  void FillRect(const RectF& rect, Color color) override;
  void FillRoundRect(const RectF& rect, float radius, Color color) override;
  void StrokeRoundRect(const RectF& rect, float radius, float width, Color color) override;
  void FillEllipse(const RectF& rect, Color color) override;
  void DrawLine(PointF from, PointF to, float width, Color color) override;
  void StrokeArc(PointF center, float radius, float startDegrees, float sweepDegrees, float width,
                 Color color, bool roundCaps) override;
  void FillShadow(const RectF& rect, float radius, float blur, Color color) override;

  // Sets every pixel of the clip box to `color`, replacing what was there.
  void Clear(Color color);
  // The innermost clip in device pixels.
  PixelBox ClipBox() const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint8_t* Pixels() const { return pixels_; }
  int Stride() const { return stride_; }

  // Device pixel of a layout coordinate.
  float Device(float layout) const { return layout * scale_; }

 private:
  struct Outline;
  void Fill(const Outline& outline, Color color, bool evenOdd);

  std::uint8_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0, stride_ = 0;
  float scale_ = 1;
  std::vector<PixelBox> clips_;
};

// Premultiplies a straight colour, rounding like the blenders do.
std::uint32_t PremultipliedBgra(Color color);

// A window body's soft shadow, as its shadow window shows it: into `pixels` (`width` x `height`,
// 4 bytes a pixel, rows top-down, cleared by the caller), around the body `margin` device pixels
// inside the edges, with corners of `radius`.
void PaintBodyShadow(std::uint8_t* pixels, int width, int height, int margin, int radius);

}  // namespace toolkit

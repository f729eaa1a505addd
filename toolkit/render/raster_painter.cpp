#include "raster_painter.h"

#include <agg_basics.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace toolkit {

namespace {

constexpr float kPi = 3.14159265358979f;

float Radians(float degrees) {
  return degrees * kPi / 180.0f;
}

// Segments for an arc of `radius` device pixels over `degrees`: short enough that no chord
// strays a quarter of a pixel from the curve.
int ArcSegments(float radius, float degrees) {
  if (radius <= 0.5f)
    return 1;
  float step = 2.0f * std::acos(std::max(0.0f, 1.0f - 0.25f / radius));
  int n = static_cast<int>(std::ceil(Radians(std::fabs(degrees)) / std::max(step, 0.01f)));
  return std::clamp(n, 2, 720);
}

using Polygon = std::vector<PointF>;

// Appends points of the arc around `c` from `from` to `to` degrees (either direction).
void AddArc(Polygon& poly, PointF c, float radius, float from, float to) {
  int n = ArcSegments(radius, to - from);
  for (int i = 0; i <= n; ++i) {
    float a = Radians(from + (to - from) * static_cast<float>(i) / static_cast<float>(n));
    poly.push_back({c.x + radius * std::cos(a), c.y + radius * std::sin(a)});
  }
}

// A rounded rectangle in device pixels, clockwise on screen.
Polygon RoundRect(float x, float y, float w, float h, float r) {
  r = std::clamp(r, 0.0f, std::min(w, h) / 2);
  Polygon poly;
  if (r <= 0.01f) {
    poly = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    return poly;
  }
  AddArc(poly, {x + w - r, y + r}, r, -90, 0);
  AddArc(poly, {x + w - r, y + h - r}, r, 0, 90);
  AddArc(poly, {x + r, y + h - r}, r, 90, 180);
  AddArc(poly, {x + r, y + r}, r, 180, 270);
  return poly;
}

Polygon Ellipse(float cx, float cy, float rx, float ry) {
  float r = std::max(rx, ry);
  int n = ArcSegments(r, 360);
  Polygon poly;
  for (int i = 0; i < n; ++i) {
    float a = 2 * kPi * static_cast<float>(i) / static_cast<float>(n);
    poly.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return poly;
}

agg::rgba8 Premultiplied(Color c) {
  agg::rgba8 p(c.r, c.g, c.b, c.a);
  p.premultiply();
  return p;
}

std::uint8_t Byte(float v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// Distance from `p` to the border of the rounded rectangle (negative inside).
float RoundRectDistance(float px, float py, float cx, float cy, float hw, float hh, float r) {
  float qx = std::fabs(px - cx) - (hw - r);
  float qy = std::fabs(py - cy) - (hh - r);
  float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

}  // namespace

struct RasterPainter::Outline {
  std::vector<Polygon> polygons;
};

std::uint32_t PremultipliedBgra(Color color) {
  agg::rgba8 p = Premultiplied(color);
  return static_cast<std::uint32_t>(p.b) | (static_cast<std::uint32_t>(p.g) << 8) |
         (static_cast<std::uint32_t>(p.r) << 16) | (static_cast<std::uint32_t>(p.a) << 24);
}

void RasterPainter::Attach(std::uint8_t* pixels, int width, int height, int stride, float scale) {
  pixels_ = pixels;
  width_ = width;
  height_ = height;
  stride_ = stride;
  scale_ = scale > 0 ? scale : 1;
  clips_.assign(1, PixelBox{0, 0, width, height});
}

PixelBox RasterPainter::ClipBox() const {
  return clips_.empty() ? PixelBox{0, 0, width_, height_} : clips_.back();
}

void RasterPainter::PushClip(const RectF& rect) {
  PixelBox outer = ClipBox();
  PixelBox box{static_cast<int>(std::lround(rect.x * scale_)),
               static_cast<int>(std::lround(rect.y * scale_)),
               static_cast<int>(std::lround((rect.x + rect.w) * scale_)),
               static_cast<int>(std::lround((rect.y + rect.h) * scale_))};
  box.x0 = std::max(box.x0, outer.x0);
  box.y0 = std::max(box.y0, outer.y0);
  box.x1 = std::min(box.x1, outer.x1);
  box.y1 = std::min(box.y1, outer.y1);
  clips_.push_back(box);
}

void RasterPainter::PopClip() {
  // The whole-buffer clip at the bottom stays, so an extra Pop cannot unclip.
  if (clips_.size() > 1)
    clips_.pop_back();
}

void RasterPainter::Fill(const Outline& outline, Color color, bool evenOdd) {
  PixelBox clip = ClipBox();
  if (!pixels_ || clip.Empty() || color.a == 0)
    return;
  agg::rendering_buffer buffer(pixels_, static_cast<unsigned>(width_),
                               static_cast<unsigned>(height_), stride_);
  agg::pixfmt_bgra32_pre format(buffer);
  agg::renderer_base<agg::pixfmt_bgra32_pre> base(format);
  base.clip_box(clip.x0, clip.y0, clip.x1 - 1, clip.y1 - 1);
  agg::rasterizer_scanline_aa<> rasterizer;
  rasterizer.filling_rule(evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
  agg::path_storage path;
  for (const Polygon& poly : outline.polygons) {
    if (poly.size() < 3)
      continue;
    path.move_to(poly[0].x, poly[0].y);
    for (std::size_t i = 1; i < poly.size(); ++i)
      path.line_to(poly[i].x, poly[i].y);
    path.close_polygon();
  }
  rasterizer.add_path(path);
  agg::scanline_u8 scanline;
  agg::render_scanlines_aa_solid(rasterizer, scanline, base, Premultiplied(color));
}

void RasterPainter::Clear(Color color) {
  PixelBox clip = ClipBox();
  if (!pixels_)
    return;
  std::uint32_t value = PremultipliedBgra(color);
  for (int y = clip.y0; y < clip.y1; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(pixels_ + static_cast<std::ptrdiff_t>(y) * stride_);
    std::fill(row + clip.x0, row + clip.x1, value);
  }
}

void RasterPainter::FillRect(const RectF& rect, Color color) {
  FillRoundRect(rect, 0, color);
}

void RasterPainter::FillRoundRect(const RectF& rect, float radius, Color color) {
  if (rect.w <= 0 || rect.h <= 0)
    return;
  const float s = scale_;
  Fill({{RoundRect(rect.x * s, rect.y * s, rect.w * s, rect.h * s, radius * s)}}, color, false);
}

void RasterPainter::StrokeRoundRect(const RectF& rect, float radius, float width, Color color) {
  if (rect.w <= 0 || rect.h <= 0 || width <= 0)
    return;
  // The line lies inside the rectangle, so a stroked card is exactly as large as a filled one.
  const float s = scale_;
  float w = std::min(width, std::min(rect.w, rect.h) / 2) * s;
  float x = rect.x * s, y = rect.y * s, rw = rect.w * s, rh = rect.h * s, r = radius * s;
  Outline outline{{RoundRect(x, y, rw, rh, r),
                   RoundRect(x + w, y + w, rw - 2 * w, rh - 2 * w, std::max(0.0f, r - w))}};
  Fill(outline, color, true);
}

void RasterPainter::FillEllipse(const RectF& rect, Color color) {
  if (rect.w <= 0 || rect.h <= 0)
    return;
  const float s = scale_;
  Fill({{Ellipse((rect.x + rect.w / 2) * s, (rect.y + rect.h / 2) * s, rect.w / 2 * s,
                 rect.h / 2 * s)}},
       color, false);
}

void RasterPainter::DrawLine(PointF from, PointF to, float width, Color color) {
  const float s = scale_;
  float dx = (to.x - from.x) * s, dy = (to.y - from.y) * s;
  float length = std::sqrt(dx * dx + dy * dy);
  if (length <= 0 || width <= 0)
    return;
  float nx = -dy / length * width * s / 2, ny = dx / length * width * s / 2;
  PointF a{from.x * s, from.y * s}, b{to.x * s, to.y * s};
  Fill({{{{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}}},
       color, false);
}

void RasterPainter::StrokeArc(PointF center, float radius, float startDegrees, float sweepDegrees,
                              float width, Color color, bool roundCaps) {
  const float s = scale_;
  PointF c{center.x * s, center.y * s};
  float r = radius * s, h = width * s / 2;
  if (r <= 0 || h <= 0 || sweepDegrees == 0)
    return;
  float outer = r + h, inner = std::max(0.0f, r - h);
  if (std::fabs(sweepDegrees) >= 360) {
    Fill({{Ellipse(c.x, c.y, outer, outer), Ellipse(c.x, c.y, inner, inner)}}, color, true);
    return;
  }
  float end = startDegrees + sweepDegrees;
  float sign = sweepDegrees > 0 ? 1.0f : -1.0f;
  Polygon poly;
  AddArc(poly, c, outer, startDegrees, end);
  float e = Radians(end);
  if (roundCaps) {
    AddArc(poly, {c.x + r * std::cos(e), c.y + r * std::sin(e)}, h, end, end + sign * 180);
  }
  AddArc(poly, c, inner, end, startDegrees);
  float b = Radians(startDegrees);
  if (roundCaps) {
    AddArc(poly, {c.x + r * std::cos(b), c.y + r * std::sin(b)}, h, startDegrees - sign * 180,
           startDegrees);
  }
  Fill({{poly}}, color, false);
}

void RasterPainter::FillShadow(const RectF& rect, float radius, float blur, Color color) {
  PixelBox clip = ClipBox();
  if (!pixels_ || clip.Empty() || color.a == 0 || rect.w <= 0 || rect.h <= 0)
    return;
  const float s = scale_;
  float spread = std::max(blur * s, 0.5f);
  float hw = rect.w * s / 2, hh = rect.h * s / 2;
  float cx = rect.x * s + hw, cy = rect.y * s + hh;
  float r = std::clamp(radius * s, 0.0f, std::min(hw, hh));
  int x0 = std::max(clip.x0, static_cast<int>(std::floor(rect.x * s - spread)));
  int y0 = std::max(clip.y0, static_cast<int>(std::floor(rect.y * s - spread)));
  int x1 = std::min(clip.x1, static_cast<int>(std::ceil((rect.x + rect.w) * s + spread)));
  int y1 = std::min(clip.y1, static_cast<int>(std::ceil((rect.y + rect.h) * s + spread)));
  agg::rgba8 p = Premultiplied(color);
  // Full strength inside, then a smooth fall to nothing at `blur` outside.
  auto coverAt = [spread](float d) {
    float t = std::clamp(d / spread, 0.0f, 1.0f);
    return (1 - t) * (1 - t) * (1 + 2 * t) * (1 - t);
  };
  // Along the straight sides, where a row's pixel centres all lie within hh - r of the centre,
  // the distance depends on x alone (for a main window, all rows but a few at the corners): one
  // row of covers serves them all.
  std::vector<float> sideCovers(static_cast<std::size_t>(std::max(x1 - x0, 0)));
  for (int x = x0; x < x1; ++x) {
    float qx = std::fabs(static_cast<float>(x) + 0.5f - cx) - (hw - r);
    sideCovers[static_cast<std::size_t>(x - x0)] = coverAt(std::max(qx, 0.0f) - r);
  }
  // A pixel's new value depends only on its cover and old value, and long runs share both (the
  // inside, at full strength over what an earlier shadow left): the last blend is reused.
  float lastCover = -1;
  std::uint32_t lastOld = 0, lastNew = 0;
  for (int y = y0; y < y1; ++y) {
    auto* row = pixels_ + static_cast<std::ptrdiff_t>(y) * stride_;
    const float py = static_cast<float>(y) + 0.5f;
    const bool side = std::fabs(py - cy) - (hh - r) <= 0;
    for (int x = x0; x < x1; ++x) {
      float cover =
          side ? sideCovers[static_cast<std::size_t>(x - x0)]
               : coverAt(RoundRectDistance(static_cast<float>(x) + 0.5f, py, cx, cy, hw, hh, r));
      if (cover <= 0)
        continue;
      std::uint8_t* px = row + x * 4;
      std::uint32_t old;
      std::memcpy(&old, px, sizeof old);
      if (cover == lastCover && old == lastOld) {
        std::memcpy(px, &lastNew, sizeof lastNew);
        continue;
      }
      float sa = static_cast<float>(p.a) * cover;
      float keep = 1 - sa / 255.0f;
      px[0] = Byte(static_cast<float>(p.b) * cover + static_cast<float>(px[0]) * keep);
      px[1] = Byte(static_cast<float>(p.g) * cover + static_cast<float>(px[1]) * keep);
      px[2] = Byte(static_cast<float>(p.r) * cover + static_cast<float>(px[2]) * keep);
      px[3] = Byte(sa + static_cast<float>(px[3]) * keep);
      lastCover = cover;
      lastOld = old;
      std::memcpy(&lastNew, px, sizeof lastNew);
    }
  }
}

void PaintBodyShadow(std::uint8_t* pixels, int width, int height, int margin, int radius) {
  // Shapes only: the shadow has no text or pictures.
  struct ShapePainter : RasterPainter {
    void DrawText(const std::wstring&, const RectF&, const FontDesc&, const TextFormat&,
                  Color) override {}
    SizeF MeasureText(const std::wstring&, const FontDesc&, float) override { return {}; }
    std::shared_ptr<IImage> LoadImage(const std::string&) override { return nullptr; }
    void DrawImage(const IImage&, const RectF&, float) override {}
  } painter;
  painter.Attach(pixels, width, height, width * 4, 1);
  const float m = static_cast<float>(margin);
  const RectF body{m, m, static_cast<float>(width) - 2 * m, static_cast<float>(height) - 2 * m};
  painter.FillShadow(body, static_cast<float>(radius), m, {20, 30, 50, 40});
  painter.FillShadow(body, static_cast<float>(radius), m * 0.4f, {20, 30, 50, 36});
}

}  // namespace toolkit

// The painter the control tree draws with. The portable core knows only this interface: the
// Win32 host implements it over an anti-aliasing rasteriser and GDI+ text, the headless host of
// the tests records what was drawn. Needs no <windows.h>.
//
// Coordinates are layout pixels of the window being painted (absolute, not relative to a
// control); the painter multiplies by Scale() to reach device pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace toolkit {

// Straight (not premultiplied) 8-bit colour.
struct Color {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

// The system's colours that a high-contrast theme chooses; the toolkit draws with these alone
// while the theme is on.
struct SystemColors {
  Color window, windowText;        // backgrounds and the text on them
  Color highlight, highlightText;  // chosen, pressed and hovered things and their text
  Color grayText;                  // unavailable controls
  Color hotLight;                  // links
  Color buttonFace, buttonText;
};

// A picture redrawn in two colours: the pixels of its ink (its light parts for a white picture
// made for a dark panel, else its dark parts) in `ink`, the others in `paper`, each keeping its
// own opacity. Pictures drawn so under a high-contrast theme stay visible on whatever window
// colour the theme has.
struct TwoTone {
  bool lightInk = false;
  Color ink, paper;
  // The colour a straight (not premultiplied) pixel of the picture takes.
  Color Of(Color pixel) const;
};

struct PointF {
  float x = 0, y = 0;
};

struct SizeF {
  float w = 0, h = 0;
};

struct RectF {
  float x = 0, y = 0, w = 0, h = 0;
};

enum class TextAlign { kLeft, kCenter, kRight };
enum class TextVAlign { kTop, kMiddle, kBottom };

struct FontDesc {
  std::wstring face = L"Microsoft YaHei";  // always a family with CJK glyphs
  float size = 12;                         // pixels
  int weight = 400;                        // 400 normal, 700 bold
  bool underline = false;
};

struct TextFormat {
  TextAlign align = TextAlign::kLeft;
  TextVAlign valign = TextVAlign::kMiddle;
  bool wrap = false;      // break lines at the rectangle's width
  bool ellipsis = false;  // end a cut line with "…"
};

// A decoded picture (PNG from the resources), owned by the painter that made it.
class IImage {
 public:
  virtual ~IImage() = default;
  virtual int Width() const = 0;   // pixels at scale 1
  virtual int Height() const = 0;  // pixels at scale 1
};

class IRender {
 public:
  virtual ~IRender() = default;

  // Device pixels per layout pixel: 1 at 96 DPI, 1.5 at 144 DPI.
  virtual float Scale() const = 0;

  // Drawing outside the innermost clip rectangle is dropped. Push and Pop pair up.
  virtual void PushClip(const RectF& rect) = 0;
  virtual void PopClip() = 0;

  virtual void FillRect(const RectF& rect, Color color) = 0;
  virtual void FillRoundRect(const RectF& rect, float radius, Color color) = 0;
  virtual void StrokeRoundRect(const RectF& rect, float radius, float width, Color color) = 0;
  virtual void FillEllipse(const RectF& rect, Color color) = 0;
  virtual void DrawLine(PointF from, PointF to, float width, Color color) = 0;
  // An arc of the circle around `center`; angles in degrees, 0 at three o'clock, clockwise.
  virtual void StrokeArc(PointF center, float radius, float startDegrees, float sweepDegrees,
                         float width, Color color, bool roundCaps) = 0;
  // A soft shadow of a rounded rectangle, blurred over `blur` pixels outside it.
  virtual void FillShadow(const RectF& rect, float radius, float blur, Color color) = 0;

  virtual void DrawText(const std::wstring& text, const RectF& rect, const FontDesc& font,
                        const TextFormat& format, Color color) = 0;
  // The size the text takes; `maxWidth` > 0 wraps at that width.
  virtual SizeF MeasureText(const std::wstring& text, const FontDesc& font, float maxWidth) = 0;

  // Decodes PNG bytes; null when they are not a picture.
  virtual std::shared_ptr<IImage> LoadImage(const std::string& pngBytes) = 0;
  virtual void DrawImage(const IImage& image, const RectF& destination, float opacity) = 0;
  // The picture in two colours; a painter that cannot recolour draws it as it is.
  virtual void DrawImageTwoTone(const IImage& image, const RectF& destination,
                                const TwoTone& tone) {
    (void)tone;
    DrawImage(image, destination, 1);
  }
};

}  // namespace toolkit

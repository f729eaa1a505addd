#include "toolkit/style.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "kestrel/text.h"
#include "toolkit/resources.h"

namespace toolkit {
namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return -1;
}

class ColorSkin : public ISkinObj {
 public:
  ColorSkin(std::wstring name, const ColorSkinDesc& desc) : name_(std::move(name)), desc_(desc) {}
  void Draw(IRender& render, const RectF& rect, SkinState state, bool checked) override {
    Color fill = desc_.normal;
    switch (state) {
      case SkinState::kHover:
        fill = desc_.hover;
        break;
      case SkinState::kPushed:
        fill = desc_.pushed;
        break;
      case SkinState::kDisabled:
        fill = desc_.disabled;
        break;
      case SkinState::kNormal:
        break;
    }
    if (checked && state != SkinState::kDisabled)
      fill = desc_.checked;
    if (desc_.shadow > 0)
      render.FillShadow(rect, desc_.radius, desc_.shadow, desc_.shadowColor);
    if (desc_.ellipse) {
      if (fill.a)
        render.FillEllipse(rect, fill);
      // The border as a ring inside the circle, as a rounded box keeps its border inside.
      float w = desc_.borderWidth;
      if (desc_.border.a && w > 0 && rect.w > w)
        render.StrokeArc({rect.x + rect.w / 2, rect.y + rect.h / 2}, (rect.w - w) / 2, 0, 360, w,
                         desc_.border, false);
      return;
    }
    if (fill.a)
      render.FillRoundRect(rect, desc_.radius, fill);
    if (desc_.border.a)
      render.StrokeRoundRect(rect, desc_.radius, desc_.borderWidth, desc_.border);
  }
  // The same shape without shadow: the window colour where the skin fills, the highlight where
  // it marks a hovered, pressed or checked state, a text-coloured line where it has a border.
  void DrawHighContrast(IRender& render, const RectF& rect, SkinState state, bool checked,
                        const SystemColors& sys) override {
    // A state counts as marked where the skin gives it a colour of its own.
    auto own = [&](Color c) {
      return c.a && (c.r != desc_.normal.r || c.g != desc_.normal.g || c.b != desc_.normal.b ||
                     c.a != desc_.normal.a);
    };
    bool marked = (checked && own(desc_.checked) && state != SkinState::kDisabled) ||
                  (state == SkinState::kHover && own(desc_.hover)) ||
                  (state == SkinState::kPushed && own(desc_.pushed));
    bool filled = desc_.normal.a || marked;
    Color fill = marked ? sys.highlight : sys.window;
    Color line = state == SkinState::kDisabled ? sys.grayText : sys.windowText;
    if (desc_.ellipse) {
      if (filled)
        render.FillEllipse(rect, fill);
      if (desc_.border.a && desc_.borderWidth > 0 && rect.w > desc_.borderWidth)
        render.StrokeArc({rect.x + rect.w / 2, rect.y + rect.h / 2},
                         (rect.w - desc_.borderWidth) / 2, 0, 360, desc_.borderWidth, line, false);
      return;
    }
    if (filled)
      render.FillRoundRect(rect, desc_.radius, fill);
    if (desc_.border.a)
      render.StrokeRoundRect(rect, desc_.radius, std::max(1.0f, desc_.borderWidth), line);
  }
  SizeF GetSkinSize() const override { return {0, 0}; }
  const std::wstring& GetName() const override { return name_; }

 private:
  std::wstring name_;
  ColorSkinDesc desc_;
};

class ImageSkin : public ISkinObj {
 public:
  ImageSkin(std::wstring name, const ImageSkinDesc& desc, const IResProvider* resources)
      : name_(std::move(name)), desc_(desc), resources_(resources) {}
  void Draw(IRender& render, const RectF& rect, SkinState state, bool checked) override {
    (void)checked;
    if (const IImage* image = ImageFor(render))
      render.DrawImage(*image, rect, state == SkinState::kDisabled ? 0.5f : 1.0f);
  }
  void DrawHighContrast(IRender& render, const RectF& rect, SkinState state, bool checked,
                        const SystemColors& system) override {
    std::optional<TwoTone> tone = HighContrastTone(desc_.ink, state, system);
    if (!tone) {
      Draw(render, rect, state, checked);
      return;
    }
    if (const IImage* image = ImageFor(render))
      render.DrawImageTwoTone(*image, rect, *tone);
  }
  SizeF GetSkinSize() const override { return {desc_.width, desc_.height}; }
  const std::wstring& GetName() const override { return name_; }

  // The variant made for `scale` ("<name>", "<name>@1.5x", "<name>@2x"): the smallest that is
  // at least that dense, else the densest there is, so pictures stay crisp at 144 DPI.
  std::optional<std::string> PictureFor(float scale) const {
    ResName res = ResName::Parse(desc_.src, L"IMG.MAIN");
    static const std::pair<float, const wchar_t*> kVariants[] = {
        {1.0f, L""}, {1.5f, L"@1.5X"}, {2.0f, L"@2X"}};
    std::optional<std::string> best;
    for (const auto& [density, suffix] : kVariants) {
      auto bytes = resources_->GetRawBuffer({res.type, res.name + suffix});
      if (!bytes)
        continue;
      best = std::move(bytes);
      if (density >= scale - 0.01f)
        break;
    }
    return best;
  }

 private:
  // Decoded once per painter, in the variant for its scale.
  const IImage* ImageFor(IRender& render) {
    if (painter_ != &render) {
      painter_ = &render;
      image_.reset();
      if (resources_) {
        if (auto bytes = PictureFor(render.Scale()))
          image_ = render.LoadImage(*bytes);
      }
    }
    return image_.get();
  }

  std::wstring name_;
  ImageSkinDesc desc_;
  const IResProvider* resources_;
  IRender* painter_ = nullptr;
  std::shared_ptr<IImage> image_;
};

}  // namespace

std::shared_ptr<ISkinObj> MakeColorSkin(const std::wstring& name, const ColorSkinDesc& desc) {
  return std::make_shared<ColorSkin>(name, desc);
}

Color TwoTone::Of(Color pixel) const {
  // Light is what a reader of the picture sees as light: luminance at least half way.
  int luminance = (2126 * pixel.r + 7152 * pixel.g + 722 * pixel.b) / 10000;
  bool light = luminance >= 128;
  Color out = light == lightInk ? ink : paper;
  out.a = static_cast<std::uint8_t>(out.a * pixel.a / 255);
  return out;
}

std::optional<TwoTone> HighContrastTone(ImageSkinDesc::Ink ink, SkinState state,
                                        const SystemColors& system) {
  if (ink == ImageSkinDesc::Ink::kNone)
    return std::nullopt;
  TwoTone tone;
  tone.lightInk = ink == ImageSkinDesc::Ink::kLight;
  bool marked = state == SkinState::kHover || state == SkinState::kPushed;
  tone.ink = state == SkinState::kDisabled ? system.grayText
             : marked                      ? system.highlightText
                                           : system.windowText;
  tone.paper = marked ? system.highlight : system.window;
  return tone;
}

std::shared_ptr<ISkinObj> MakeImageSkin(const std::wstring& name, const ImageSkinDesc& desc,
                                        const IResProvider* resources) {
  return std::make_shared<ImageSkin>(name, desc, resources);
}

std::optional<Color> ParseColor(const std::wstring& raw) {
  auto text = kestrel::TrimWhiteSpace(raw);
  if (text.size() < 2 || text[0] != L'#')
    return std::nullopt;
  std::vector<int> digits;
  for (size_t i = 1; i < text.size(); ++i) {
    int d = HexDigit(text[i]);
    if (d < 0)
      return std::nullopt;
    digits.push_back(d);
  }
  auto byte = [&](size_t i) { return static_cast<std::uint8_t>(digits[i] * 16 + digits[i + 1]); };
  auto nibble = [&](size_t i) { return static_cast<std::uint8_t>(digits[i] * 17); };
  switch (digits.size()) {
    case 3:
      return Color{nibble(0), nibble(1), nibble(2), 255};
    case 6:
      return Color{byte(0), byte(2), byte(4), 255};
    case 8:
      return Color{byte(0), byte(2), byte(4), byte(6)};  // #rrggbbaa
    default:
      return std::nullopt;
  }
}

std::optional<float> ParseFloat(const std::wstring& raw) {
  auto text = kestrel::TrimWhiteSpace(raw);
  if (text.empty())
    return std::nullopt;
  wchar_t* end = nullptr;
  double value = std::wcstod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || value != value || value > 1e7 || value < -1e7)
    return std::nullopt;
  return static_cast<float>(value);
}

std::optional<int> ParseInt(const std::wstring& raw) {
  auto text = kestrel::TrimWhiteSpace(raw);
  if (text.empty())
    return std::nullopt;
  wchar_t* end = nullptr;
  long long value = std::wcstoll(text.c_str(), &end, 10);
  if (end != text.c_str() + text.size() || value > 2147483647LL || value < -2147483647LL - 1)
    return std::nullopt;
  return static_cast<int>(value);
}

std::optional<std::vector<float>> ParseFloats(const std::wstring& text, size_t count) {
  std::vector<float> values;
  size_t start = 0;
  while (start <= text.size()) {
    auto comma = text.find(L',', start);
    auto part =
        text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
    auto value = ParseFloat(part);
    if (!value)
      return std::nullopt;
    values.push_back(*value);
    if (comma == std::wstring::npos)
      break;
    start = comma + 1;
  }
  if (values.size() != count)
    return std::nullopt;
  return values;
}

std::optional<FontDesc> ParseFont(const std::wstring& text, const FontDesc& base) {
  FontDesc font = base;
  size_t start = 0;
  while (start < text.size()) {
    auto comma = text.find(L',', start);
    auto part = kestrel::TrimWhiteSpace(
        text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
    start = comma == std::wstring::npos ? text.size() : comma + 1;
    if (part.empty())
      continue;
    auto colon = part.find(L':');
    if (colon == std::wstring::npos)
      return std::nullopt;
    auto key = kestrel::TrimWhiteSpace(part.substr(0, colon));
    auto value = kestrel::TrimWhiteSpace(part.substr(colon + 1));
    if (key == L"face") {
      if (value.empty())
        return std::nullopt;
      font.face = value;
    } else if (key == L"size") {
      auto size = ParseFloat(value);
      if (!size || *size <= 0 || *size > 200)
        return std::nullopt;
      font.size = *size;
    } else if (key == L"weight") {
      auto weight = ParseInt(value);
      if (!weight || *weight < 100 || *weight > 900)
        return std::nullopt;
      font.weight = *weight;
    } else if (key == L"bold") {
      font.weight = value == L"1" ? 700 : 400;
    } else if (key == L"underline") {
      font.underline = value == L"1";
    } else {
      return std::nullopt;
    }
  }
  return font;
}

std::optional<Color> SUiDef::FindColor(const std::wstring& name) const {
  auto it = colors_.find(name);
  if (it == colors_.end())
    return std::nullopt;
  return it->second;
}

void SUiDef::AddSkin(std::shared_ptr<ISkinObj> skin) {
  skins_[skin->GetName()] = std::move(skin);
}

std::shared_ptr<ISkinObj> SUiDef::FindSkin(const std::wstring& name) const {
  auto it = skins_.find(name);
  return it == skins_.end() ? nullptr : it->second;
}

void SUiDef::AddStyle(const std::wstring& name, Attributes attributes) {
  styles_[name] = std::move(attributes);
}

const SUiDef::Attributes* SUiDef::FindStyle(const std::wstring& name) const {
  auto it = styles_.find(name);
  return it == styles_.end() ? nullptr : &it->second;
}

std::wstring SUiDef::Resolve(const std::wstring& value) const {
  static const std::wstring kPrefix = L"@color/";
  if (value.compare(0, kPrefix.size(), kPrefix) != 0)
    return value;
  auto color = FindColor(value.substr(kPrefix.size()));
  if (!color)
    return value;
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"#%02x%02x%02x%02x", color->r, color->g, color->b, color->a);
  return buffer;
}

}  // namespace toolkit

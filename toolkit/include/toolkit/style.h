// Skins, styles, colours and fonts: what "uidef:xml_init" defines and layouts refer to by name.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/render.h"

namespace pugi {
class xml_node;
}

namespace toolkit {

class IResProvider;

enum class SkinState { kNormal, kHover, kPushed, kDisabled };

// Something a control draws its background with.
class ISkinObj {
 public:
  virtual ~ISkinObj() = default;
  virtual void Draw(IRender& render, const RectF& rect, SkinState state, bool checked) = 0;
  // The same under a high-contrast theme: shapes in the system's colours (pictures as they
  // are, which is what this default does).
  virtual void DrawHighContrast(IRender& render, const RectF& rect, SkinState state, bool checked,
                                const SystemColors& system) {
    (void)system;
    Draw(render, rect, state, checked);
  }
  // The natural size (a picture's); 0,0 when it has none.
  virtual SizeF GetSkinSize() const = 0;
  virtual const std::wstring& GetName() const = 0;
};

// A flat shape: fill colours per state, optional border, corner radius and soft shadow.
// <colorskin name="_skin.btn.primary" normal="#2f7cf6" hover="#4a8ff8" pushed="#1f63d1"
//            disabled="#b9c7dd" border="#00000000" radius="6" shadow="0" shadowColor="#..."/>
struct ColorSkinDesc {
  Color normal, hover, pushed, disabled, checked;
  Color border{0, 0, 0, 0};
  Color shadowColor{20, 40, 80, 40};
  float borderWidth = 1;
  float radius = 0;
  float shadow = 0;  // blur in pixels; 0 for none
  bool ellipse = false;
};

// A picture from the resources ("IMG.MAIN:btn_run"), drawn at the rectangle.
// <imgskin name="_skin.item.icon.1" src="IMG.MAIN:item_os_done" width="56" height="56"/>
// `ink="light"` (a white picture for a dark panel) or `ink="dark"` (a grey icon for a light
// one): under a high-contrast theme the ink is drawn in the text colour and the rest in the
// window colour, as the panel below then takes the window colour too. Without it the picture
// is drawn as it is.
struct ImageSkinDesc {
  enum class Ink { kNone, kLight, kDark };
  std::wstring src;
  float width = 0, height = 0;  // the size it is drawn at; 0: the picture's own
  Ink ink = Ink::kNone;
};

// The two colours a picture with ink takes under a high-contrast theme (none without ink): the
// ink in the text colour, the highlight's text colour when hovered or pressed, grey text when
// unavailable; the rest in the window colour (the highlight when hovered or pressed).
std::optional<TwoTone> HighContrastTone(ImageSkinDesc::Ink ink, SkinState state,
                                        const SystemColors& system);

std::shared_ptr<ISkinObj> MakeColorSkin(const std::wstring& name, const ColorSkinDesc& desc);
// `resources` supplies the PNG bytes when first drawn; a missing picture draws nothing.
std::shared_ptr<ISkinObj> MakeImageSkin(const std::wstring& name, const ImageSkinDesc& desc,
                                        const IResProvider* resources);

// Parsers of attribute values; nullopt when malformed.
std::optional<Color> ParseColor(const std::wstring& text);
std::optional<float> ParseFloat(const std::wstring& text);
std::optional<int> ParseInt(const std::wstring& text);
// "10,20" or "5,3,5,7": exactly `count` numbers.
std::optional<std::vector<float>> ParseFloats(const std::wstring& text, size_t count);
// "size:20,weight:700,face:Microsoft YaHei,underline:1" applied over `base`.
std::optional<FontDesc> ParseFont(const std::wstring& text, const FontDesc& base);

// The definitions of "uidef:xml_init": named colours ("@color/accent"), the default font,
// skins and style classes (attribute sets that controls pick with class="...").
class SUiDef {
 public:
  void SetColor(const std::wstring& name, Color color) { colors_[name] = color; }
  std::optional<Color> FindColor(const std::wstring& name) const;
  void AddSkin(std::shared_ptr<ISkinObj> skin);
  std::shared_ptr<ISkinObj> FindSkin(const std::wstring& name) const;
  using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;
  void AddStyle(const std::wstring& name, Attributes attributes);
  const Attributes* FindStyle(const std::wstring& name) const;
  FontDesc defaultFont;

  // Replaces "@color/name" by the named colour's value (other text unchanged).
  std::wstring Resolve(const std::wstring& value) const;

 private:
  std::map<std::wstring, Color> colors_;
  std::map<std::wstring, std::shared_ptr<ISkinObj>> skins_;
  std::map<std::wstring, Attributes> styles_;
};

}  // namespace toolkit

#include "toolkit/tree_dump.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "kestrel/utf8.h"
#include "toolkit/controls.h"

namespace toolkit {
namespace {

using kestrel::WideToUtf8;

std::string Number(float value) {
  std::ostringstream out;
  out << std::round(value * 10) / 10;
  return out.str();
}

const char* StateName(SkinState state) {
  switch (state) {
    case SkinState::kHover:
      return "hover";
    case SkinState::kPushed:
      return "pushed";
    case SkinState::kDisabled:
      return "disabled";
    default:
      return "normal";
  }
}

void DumpControl(const SWindow& window, int depth, std::string* out) {
  RectF r = window.GetWindowRect();
  std::string text = WideToUtf8(window.GetWindowText());
  std::replace(text.begin(), text.end(), '\n', ' ');
  *out += std::to_string(depth) + " " + WideToUtf8(window.GetObjectClass()) +
          " name=" + WideToUtf8(window.GetName()) + " rect=" + Number(r.x) + "," + Number(r.y) +
          "," + Number(r.w) + "," + Number(r.h) + " shown=" + (window.IsVisible(true) ? "1" : "0") +
          " enabled=" + (window.IsDisabled(true) ? "0" : "1") +
          " state=" + StateName(window.GetSkinState()) +
          " focus=" + (window.IsFocused() ? "1" : "0");
  // A progress bar's position, which the program's run shows and its tests follow.
  if (auto* progress = dynamic_cast<const SProgress*>(&window))
    *out += " value=" + std::to_string(progress->GetValue());
  *out += " text=" + text + "\n";
  for (size_t i = 0; i < window.GetChildrenCount(); ++i)
    DumpControl(*window.GetChild(i), depth + 1, out);
}

}  // namespace

std::string DumpTree(const SHostWnd& host, float scale, int screenX, int screenY) {
  SizeF size = host.GetWindowSize();
  RectF body = host.GetBodyRect();
  std::string out = "window " + Number(body.w * scale) + " " + Number(body.h * scale) + " scale " +
                    Number(scale) + " at " + std::to_string(screenX) + " " +
                    std::to_string(screenY) + " layout " + Number(size.w) + " " + Number(size.h) +
                    "\n";
  if (const SWindow* root = const_cast<SHostWnd&>(host).GetRoot())
    DumpControl(*root, 0, &out);
  return out;
}

}  // namespace toolkit

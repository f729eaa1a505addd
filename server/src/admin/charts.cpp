#include "admin/charts.h"

#include <algorithm>

#include "core/html_text.h"

namespace kestrel::server {
namespace {

constexpr const char* kBarColour = "#1565c0";
constexpr const char* kTextColour = "#1f2933";

std::int64_t Largest(const std::vector<Bar>& bars) {
  std::int64_t top = 1;
  for (const Bar& b : bars) {
    top = std::max(top, b.value);
  }
  return top;
}

std::string Text(int x, int y, const char* anchor, const std::string& text, int size = 12) {
  return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" text-anchor=\"" +
         anchor + "\" font-size=\"" + std::to_string(size) + "\" fill=\"" + kTextColour + "\">" +
         EscapeHtml(text) + "</text>";
}

std::string Rect(int x, int y, int w, int h, const std::string& tip) {
  return "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
         std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" fill=\"" + kBarColour +
         "\"><title>" + EscapeHtml(tip) + "</title></rect>";
}

std::string Open(const std::string& title, int width, int height) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" viewBox=\"0 0 " +
         std::to_string(width) + " " + std::to_string(height) + "\" aria-label=\"" +
         EscapeHtml(title) + "\"><title>" + EscapeHtml(title) + "</title>";
}

}  // namespace

std::string ColumnChartSvg(const std::string& title, const std::vector<Bar>& bars) {
  constexpr int kColumn = 56, kGap = 8, kPlot = 160, kTop = 20, kBottom = 24;
  const int width = std::max<int>(1, static_cast<int>(bars.size())) * (kColumn + kGap) + kGap;
  const int height = kTop + kPlot + kBottom;
  const std::int64_t top = Largest(bars);
  std::string svg = Open(title, width, height);
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const int x = kGap + static_cast<int>(i) * (kColumn + kGap);
    const int h = static_cast<int>(bars[i].value * kPlot / top);
    svg +=
        Rect(x, kTop + kPlot - h, kColumn, h, bars[i].label + ": " + std::to_string(bars[i].value));
    svg += Text(x + kColumn / 2, kTop + kPlot - h - 4, "middle", std::to_string(bars[i].value));
    svg += Text(x + kColumn / 2, height - 6, "middle", bars[i].label, 11);
  }
  return svg + "</svg>";
}

std::string RowChartSvg(const std::string& title, const std::vector<Bar>& bars) {
  constexpr int kRow = 26, kLabel = 170, kPlot = 300, kValue = 60;
  const int width = kLabel + kPlot + kValue;
  const int height = std::max<int>(1, static_cast<int>(bars.size())) * kRow + 8;
  const std::int64_t top = Largest(bars);
  std::string svg = Open(title, width, height);
  if (bars.empty()) {
    svg += Text(width / 2, 22, "middle", "无");
  }
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const int y = 4 + static_cast<int>(i) * kRow;
    const int w = std::max(1, static_cast<int>(bars[i].value * kPlot / top));
    svg += Text(kLabel - 8, y + 17, "end", bars[i].label);
    svg += Rect(kLabel, y + 4, w, kRow - 8, bars[i].label + ": " + std::to_string(bars[i].value));
    svg += Text(kLabel + w + 6, y + 17, "start", std::to_string(bars[i].value));
  }
  return svg + "</svg>";
}

}  // namespace kestrel::server

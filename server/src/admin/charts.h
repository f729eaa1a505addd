// The overview's charts, drawn by the server as SVG markup with presentation attributes only
// (the pages allow no inline style and no script).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::server {

struct Bar {
  std::string label;  // plain text; escaped here
  std::int64_t value;
};

// Columns side by side, each labelled below and with its value above.
std::string ColumnChartSvg(const std::string& title, const std::vector<Bar>& bars);
// One row a bar, the label on the left and the value after the bar; longest first as given.
std::string RowChartSvg(const std::string& title, const std::vector<Bar>& bars);

}  // namespace kestrel::server

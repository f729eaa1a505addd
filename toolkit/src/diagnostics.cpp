#include "toolkit/diagnostics.h"

#include <algorithm>

#include <pugixml.hpp>

namespace toolkit {

std::wstring Diagnostic::ToString() const {
  return layout + L":" + std::to_wstring(line) + L": " + message;
}

int DiagnosticLog::LineOf(pugi::xml_node node) const {
  if (sources_.empty() || !sources_.back().text || !node)
    return 0;
  const std::string& text = *sources_.back().text;
  auto offset = node.offset_debug();
  if (offset < 0 || static_cast<size_t>(offset) > text.size())
    return 0;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

void DiagnosticLog::Report(Diagnostic::Kind kind, const std::wstring& message,
                           pugi::xml_node node) {
  std::wstring layout = sources_.empty() ? L"(run time)" : sources_.back().name;
  diagnostics_.push_back({kind, layout, LineOf(node), message});
}

void DiagnosticLog::Report(Diagnostic::Kind kind, const std::wstring& message) {
  std::wstring layout = sources_.empty() ? L"(run time)" : sources_.back().name;
  diagnostics_.push_back({kind, layout, sources_.empty() ? 0 : sources_.back().line, message});
}

DiagnosticLog::SourceScope::SourceScope(DiagnosticLog& log, const std::wstring& name,
                                        const std::string* text)
    : log_(log) {
  log_.sources_.push_back({name, text, 0});
}

DiagnosticLog::SourceScope::~SourceScope() {
  log_.sources_.pop_back();
}

void DiagnosticLog::SetCurrentNode(pugi::xml_node node) {
  if (!sources_.empty())
    sources_.back().line = LineOf(node);
}

}  // namespace toolkit

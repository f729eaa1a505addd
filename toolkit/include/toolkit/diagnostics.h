// Problems found while layouts and definitions are read. Loading goes on past each one; the log
// keeps them in order, naming the file and line being read when they were found.
#pragma once

#include <string>
#include <vector>

namespace pugi {
class xml_node;
}  // namespace pugi

namespace toolkit {

// A problem found in a layout or definition file: which file, which line (1-based, 0 when
// unknown) and what.
struct Diagnostic {
  enum Kind {
    kBrokenXml,
    kMissingLayout,
    kUnknownClass,
    kUnknownAttribute,
    kBadValue,
    kMissingImage,
    kMissingSkin
  } kind;
  std::wstring layout;
  int line = 0;
  std::wstring message;
  std::wstring ToString() const;  // "LAYOUT:XML_MAINWND:12: unknown control class \"foo\""
};

class DiagnosticLog {
 public:
  const std::vector<Diagnostic>& All() const { return diagnostics_; }
  void Clear() { diagnostics_.clear(); }
  // Named after the file being read ("(run time)" outside any), at the line of `node`.
  void Report(Diagnostic::Kind kind, const std::wstring& message, pugi::xml_node node);
  // At the line of the node last given to SetCurrentNode.
  void Report(Diagnostic::Kind kind, const std::wstring& message);
  // A problem that names its own file and line (a document that does not parse).
  void Add(Diagnostic diagnostic) { diagnostics_.push_back(std::move(diagnostic)); }

  // While a layout is read, problems name it and the line of the node.
  class SourceScope {
   public:
    SourceScope(DiagnosticLog& log, const std::wstring& name, const std::string* text);
    ~SourceScope();
    SourceScope(const SourceScope&) = delete;
    SourceScope& operator=(const SourceScope&) = delete;

   private:
    DiagnosticLog& log_;
  };
  void SetCurrentNode(pugi::xml_node node);

 private:
  struct Source {
    std::wstring name;
    const std::string* text;
    int line;  // of the node being read
  };
  int LineOf(pugi::xml_node node) const;

  std::vector<Diagnostic> diagnostics_;
  std::vector<Source> sources_;
};

}  // namespace toolkit

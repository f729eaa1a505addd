// The gallery's portable half: its command line, the resources it reads (the layouts from a
// folder, so an edited layout shows without a rebuild, the pictures from the program), the
// wrapping of a layout that is only a part of a window and what its options set. The text dump
// its tests read back is the toolkit's (toolkit/tree_dump.h).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/host.h"
#include "toolkit/resources.h"
#include "toolkit/tree_dump.h"

namespace gallery {

struct Options {
  std::string resDir;       // folder with uires.idx; empty: the built-in default
  std::wstring layout;      // "XML_MAINWND" or "LAYOUT:XML_MAINWND"
  bool list = false;        // print the layouts of the index and stop
  bool check = false;       // load, print the problems, stop (exit 1 when any)
  bool firstFrame = false;  // stop once the first frame is painted
  std::vector<std::pair<std::wstring, int>> selects;         // tab control name, page
  std::vector<std::pair<std::wstring, std::wstring>> texts;  // control name, text
  struct Attr {
    std::wstring control, name, value;
  };
  std::vector<Attr> attrs;  // set as a layout would ("show" "1", "value" "56", "skin" ...)
  std::string dumpPath;     // the tree as text, once shown
  std::string eventsPath;   // one line per control event
  float partWidth = 800, partHeight = 400;  // the window around a layout part
  int exitAfterMs = 0;                      // ends by itself after this long (0: when closed)
  int redumpMs = 0;     // rewrites the dump this often (0: once), for tests of live states
  bool modal = false;   // opens the layout as a modal dialog and logs "end CODE"
  int msgBoxType = -1;  // once shown, opens a message box of this type and logs "msgbox CODE"
  std::wstring dropDownButton;  // its command opens the more menu as a drop-down
  bool highContrast = false;    // draws as under a high-contrast theme (the system's colours)
};

// Parses the arguments after the program name; nullopt and `error` set when they are wrong.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error);
std::string Usage();

// Asks each provider in turn; the first that has the resource answers.
class LayeredResProvider : public toolkit::IResProvider {
 public:
  void Add(std::unique_ptr<toolkit::IResProvider> provider) {
    providers_.push_back(std::move(provider));
  }
  bool HasResource(const toolkit::ResName& res) const override;
  std::optional<std::string> GetRawBuffer(const toolkit::ResName& res) const override;

 private:
  std::vector<std::unique_ptr<toolkit::IResProvider>> providers_;
};

// The layout names ("LAYOUT:XML_MAINWND") of a folder's index, sorted.
std::vector<std::wstring> LayoutNames(const toolkit::FileResProvider& files);

// A layout whose root is not a window (no "width"), such as a panel included in a page, shown
// inside a plain window of the given size; empty when the layout is a window itself or broken.
std::string WrapPart(const std::string& layoutXml, const std::wstring& layoutName, float width,
                     float height);

// One line per problem: "LAYOUT:XML_MAINWND:12: unknown control class \"foo\"" (UTF-8).
std::string FormatDiagnostics(const std::vector<toolkit::Diagnostic>& diagnostics);

// The drop-down content for --dropdown: the first window of a layout such as XML_POPMENU's
// panel, shown and at the drop-down's origin; `size` receives its "size". Empty when it has none.
std::string DropDownContent(const std::string& layoutXml, toolkit::SizeF* size);

// The control a name stands for: "NAME", or "PARENT/NAME" for NAME inside the control PARENT
// (the result cards repeat their line names); nullptr when there is none.
toolkit::SWindow* FindControl(toolkit::SHostWnd& host, const std::wstring& path);

// Applies --select, --attr and --text, in that order; returns the names not found (and the
// attributes the control does not take).
std::vector<std::wstring> ApplyOptions(toolkit::SHostWnd& host, const Options& options);

}  // namespace gallery

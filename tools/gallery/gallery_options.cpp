#include "gallery_options.h"

#include <algorithm>
#include <sstream>

#include <pugixml.hpp>

#include "toolkit/controls.h"

namespace gallery {
namespace {

using toolkit::Utf8ToWide;
using toolkit::WideToUtf8;

bool SplitPair(const std::string& text, std::wstring* name, std::string* value) {
  auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0)
    return false;
  *name = Utf8ToWide(text.substr(0, eq));
  *value = text.substr(eq + 1);
  return true;
}

}  // namespace

std::string Usage() {
  return "usage: gallery [--res DIR] (--list | LAYOUT [--check] [--select TAB=PAGE]...\n"
         "               [--text NAME=TEXT]... [--dump FILE] [--events FILE] [--first-frame]\n"
         "               [--part-size W,H] [--exit-after MS]\n"
         "               [--redump MS] [--modal] [--msgbox TYPE] [--dropdown BUTTON]\n"
         "               [--high-contrast]\n"
         "               [--attr NAME:ATTR=VALUE]...)\n"
         "  LAYOUT is a layout of the index, such as XML_MAINWND or LAYOUT:XML_POPWND_ABORT\n"
         "  NAME may be PARENT/NAME: the control NAME inside the control PARENT\n";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) {
        *error = arg + " needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    std::string v;
    if (arg == "--list") {
      options.list = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--first-frame") {
      options.firstFrame = true;
    } else if (arg == "--res") {
      if (!value(&options.resDir))
        return std::nullopt;
    } else if (arg == "--dump") {
      if (!value(&options.dumpPath))
        return std::nullopt;
    } else if (arg == "--events") {
      if (!value(&options.eventsPath))
        return std::nullopt;
    } else if (arg == "--select") {
      if (!value(&v))
        return std::nullopt;
      std::wstring name;
      std::string page;
      std::optional<int> number;
      if (SplitPair(v, &name, &page))
        number = toolkit::ParseInt(Utf8ToWide(page));
      if (!number || *number < 0) {
        *error = "--select wants TAB=PAGE, not \"" + v + "\"";
        return std::nullopt;
      }
      options.selects.emplace_back(name, *number);
    } else if (arg == "--text") {
      if (!value(&v))
        return std::nullopt;
      std::wstring name;
      std::string text;
      if (!SplitPair(v, &name, &text)) {
        *error = "--text wants NAME=TEXT, not \"" + v + "\"";
        return std::nullopt;
      }
      options.texts.emplace_back(name, Utf8ToWide(text));
    } else if (arg == "--attr") {
      if (!value(&v))
        return std::nullopt;
      std::wstring target;
      std::string attrValue;
      auto colon = v.rfind(':', v.find('='));
      if (!SplitPair(v, &target, &attrValue) || colon == std::string::npos || colon == 0 ||
          colon + 1 >= v.find('=')) {
        *error = "--attr wants NAME:ATTR=VALUE, not \"" + v + "\"";
        return std::nullopt;
      }
      options.attrs.push_back({Utf8ToWide(v.substr(0, colon)),
                               Utf8ToWide(v.substr(colon + 1, v.find('=') - colon - 1)),
                               Utf8ToWide(attrValue)});
    } else if (arg == "--part-size") {
      if (!value(&v))
        return std::nullopt;
      auto size = toolkit::ParseFloats(Utf8ToWide(v), 2);
      if (!size || (*size)[0] < 1 || (*size)[1] < 1) {
        *error = "--part-size wants W,H, not \"" + v + "\"";
        return std::nullopt;
      }
      options.partWidth = (*size)[0];
      options.partHeight = (*size)[1];
    } else if (arg == "--exit-after") {
      if (!value(&v))
        return std::nullopt;
      auto ms = toolkit::ParseInt(Utf8ToWide(v));
      if (!ms || *ms <= 0) {
        *error = "--exit-after wants milliseconds, not \"" + v + "\"";
        return std::nullopt;
      }
      options.exitAfterMs = *ms;
    } else if (arg == "--redump" || arg == "--msgbox") {
      if (!value(&v))
        return std::nullopt;
      auto number = toolkit::ParseInt(Utf8ToWide(v));
      bool redump = arg == "--redump";
      if (!number || *number < (redump ? 1 : 0) || (!redump && *number > 1)) {
        *error = arg + (redump ? " wants milliseconds" : " wants 0 (OK) or 1 (OK and Cancel)") +
                 ", not \"" + v + "\"";
        return std::nullopt;
      }
      (redump ? options.redumpMs : options.msgBoxType) = *number;
    } else if (arg == "--modal") {
      options.modal = true;
    } else if (arg == "--high-contrast") {
      options.highContrast = true;
    } else if (arg == "--dropdown") {
      if (!value(&v))
        return std::nullopt;
      options.dropDownButton = Utf8ToWide(v);
    } else if (!arg.empty() && arg[0] == '-') {
      *error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.layout.empty()) {
      options.layout = Utf8ToWide(arg);
    } else {
      *error = "one layout at a time (\"" + arg + "\" is a second)";
      return std::nullopt;
    }
  }
  if (!options.list && options.layout.empty()) {
    *error = "no layout named";
    return std::nullopt;
  }
  if (!options.layout.empty())
    options.layout = toolkit::ResName::Parse(options.layout, L"LAYOUT").ToString();
  return options;
}

bool LayeredResProvider::HasResource(const toolkit::ResName& res) const {
  return std::any_of(providers_.begin(), providers_.end(),
                     [&](const auto& provider) { return provider->HasResource(res); });
}

std::optional<std::string> LayeredResProvider::GetRawBuffer(const toolkit::ResName& res) const {
  for (const auto& provider : providers_) {
    if (auto bytes = provider->GetRawBuffer(res))
      return bytes;
  }
  return std::nullopt;
}

std::vector<std::wstring> LayoutNames(const toolkit::FileResProvider& files) {
  std::vector<std::wstring> names;
  for (const auto& [key, path] : files.Entries()) {
    (void)path;
    if (key.first == L"LAYOUT")
      names.push_back(key.first + L":" + key.second);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string WrapPart(const std::string& layoutXml, const std::wstring& layoutName, float width,
                     float height) {
  pugi::xml_document doc;
  if (!doc.load_buffer(layoutXml.data(), layoutXml.size()))
    return "";
  pugi::xml_node root = doc.first_child();
  if (!root || root.attribute("width"))
    return "";
  pugi::xml_document wrapped;
  pugi::xml_node window = wrapped.append_child("SOUI");
  window.append_attribute("width") = static_cast<double>(width);
  window.append_attribute("height") = static_cast<double>(height);
  // White, as the windows the parts sit in.
  pugi::xml_node body = window.append_child("root");
  body.append_attribute("colorBkgnd") = "#FFFFFF";
  body.append_child("include").append_attribute("src").set_value(WideToUtf8(layoutName).c_str());
  std::ostringstream out;
  wrapped.save(out, "", pugi::format_raw);
  return out.str();
}

std::string FormatDiagnostics(const std::vector<toolkit::Diagnostic>& diagnostics) {
  std::string out;
  for (const auto& d : diagnostics)
    out += WideToUtf8(d.ToString()) + "\n";
  return out;
}

std::string DropDownContent(const std::string& layoutXml, toolkit::SizeF* size) {
  pugi::xml_document doc;
  if (!doc.load_buffer(layoutXml.data(), layoutXml.size()))
    return "";
  pugi::xml_node panel = doc.first_child().child("window");
  auto parsed = toolkit::ParseFloats(Utf8ToWide(panel.attribute("size").as_string()), 2);
  if (!panel || !parsed)
    return "";
  *size = {(*parsed)[0], (*parsed)[1]};
  pugi::xml_document wrapped;
  pugi::xml_node copy = wrapped.append_child("popup").append_copy(panel);
  copy.remove_attribute("show");
  copy.remove_attribute("pos");
  copy.append_attribute("pos") = "0,0";
  std::ostringstream out;
  wrapped.save(out, "", pugi::format_raw);
  return out.str();
}

toolkit::SWindow* FindControl(toolkit::SHostWnd& host, const std::wstring& path) {
  toolkit::SWindow* found = nullptr;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = std::min(path.find(L'/', start), path.size());
    std::wstring name = path.substr(start, slash - start);
    found = found ? found->FindChildByName(name) : host.FindChildByName(name);
    if (!found || name.empty())
      return nullptr;
    start = slash + 1;
  }
  return found;
}

std::vector<std::wstring> ApplyOptions(toolkit::SHostWnd& host, const Options& options) {
  std::vector<std::wstring> missing;
  for (const auto& [name, page] : options.selects) {
    auto* tab = dynamic_cast<toolkit::STabCtrl*>(FindControl(host, name));
    if (!tab || !tab->SetCurSel(page))
      missing.push_back(name + L"=" + std::to_wstring(page));
  }
  for (const auto& attr : options.attrs) {
    auto* control = FindControl(host, attr.control);
    if (!control || !control->SetAttribute(attr.name, attr.value))
      missing.push_back(attr.control + L":" + attr.name);
  }
  for (const auto& [name, text] : options.texts) {
    if (auto* control = FindControl(host, name))
      control->SetWindowText(text);
    else
      missing.push_back(name);
  }
  return missing;
}

}  // namespace gallery

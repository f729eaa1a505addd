// Named resources ("LAYOUT:XML_MAINWND", "uidef:xml_init", "IMG.MAIN:btn_run", "rtf:rtf_agreement",
// "LOGO:32"): a type and a name, both compared without regard to case. A provider hands out the
// raw bytes; the Win32 one reads the program's resources, FileResProvider a folder with an
// index (tests, gallery).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "kestrel/utf8.h"

namespace toolkit {

struct ResName {
  std::wstring type;  // upper case
  std::wstring name;  // upper case
  // Splits "TYPE:NAME"; a name without a type gets `defaultType`.
  static ResName Parse(const std::wstring& text, const std::wstring& defaultType = L"");
  std::wstring ToString() const { return type + L":" + name; }
};

class IResProvider {
 public:
  virtual ~IResProvider() = default;
  virtual bool HasResource(const ResName& res) const = 0;
  virtual std::optional<std::string> GetRawBuffer(const ResName& res) const = 0;
};

// Resources as files under `root`, listed in `root`/uires.idx:
//   <resource><LAYOUT><file name="XML_MAINWND" path="layout/main_wnd.xml"/></LAYOUT>...</resource>
class FileResProvider : public IResProvider {
 public:
  // Fails (returns false, `error` set) when the index is missing or broken.
  bool Init(const std::string& root, std::string* error = nullptr);
  bool HasResource(const ResName& res) const override;
  std::optional<std::string> GetRawBuffer(const ResName& res) const override;
  // Every (type, name) of the index, for the gallery and tests.
  const std::map<std::pair<std::wstring, std::wstring>, std::string>& Entries() const {
    return files_;
  }

 private:
  std::string root_;
  std::map<std::pair<std::wstring, std::wstring>, std::string> files_;  // -> relative path
};

// UTF-8 <-> wide text, the same on UTF-16 (Windows) and UTF-32 (Linux) wchar_t.
using kestrel::Utf8ToWide;
using kestrel::WideToUtf8;

}  // namespace toolkit

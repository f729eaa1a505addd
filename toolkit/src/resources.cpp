#include "toolkit/resources.h"

#include <cwctype>
#include <fstream>
#include <sstream>

#include <pugixml.hpp>

namespace toolkit {
namespace {

std::wstring Upper(std::wstring text) {
  for (auto& c : text)
    c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return text;
}

bool ReadFile(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream text;
  text << in.rdbuf();
  *out = text.str();
  return true;
}

}  // namespace

ResName ResName::Parse(const std::wstring& text, const std::wstring& defaultType) {
  ResName res;
  auto colon = text.find(L':');
  if (colon == std::wstring::npos) {
    res.type = Upper(defaultType);
    res.name = Upper(text);
  } else {
    res.type = Upper(text.substr(0, colon));
    res.name = Upper(text.substr(colon + 1));
  }
  return res;
}

bool FileResProvider::Init(const std::string& root, std::string* error) {
  root_ = root;
  files_.clear();
  pugi::xml_document index;
  auto path = root + "/uires.idx";
  auto result = index.load_file(path.c_str());
  if (!result) {
    if (error)
      *error = path + ": " + result.description();
    return false;
  }
  for (auto type : index.child("resource").children()) {
    for (auto file : type.children("file")) {
      files_[{Upper(Utf8ToWide(type.name())), Upper(Utf8ToWide(file.attribute("name").value()))}] =
          file.attribute("path").value();
    }
  }
  return true;
}

bool FileResProvider::HasResource(const ResName& res) const {
  auto it = files_.find({res.type, res.name});
  if (it == files_.end())
    return false;
  std::ifstream in(root_ + "/" + it->second, std::ios::binary);
  return static_cast<bool>(in);
}

std::optional<std::string> FileResProvider::GetRawBuffer(const ResName& res) const {
  auto it = files_.find({res.type, res.name});
  if (it == files_.end())
    return std::nullopt;
  std::string bytes;
  if (!ReadFile(root_ + "/" + it->second, &bytes))
    return std::nullopt;
  return bytes;
}

}  // namespace toolkit

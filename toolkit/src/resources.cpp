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

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
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

std::wstring Utf8ToWide(const std::string& utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    int extra = byte < 0x80         ? 0
                : (byte >> 5) == 6  ? 1
                : (byte >> 4) == 14 ? 2
                : (byte >> 3) == 30 ? 3
                                    : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size()) {
      out.push_back(L'\xFFFD');  // a stray or cut byte
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? byte : byte & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      auto next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(L'\xFFFD');
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string WideToUtf8(const std::wstring& wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    auto cp = static_cast<char32_t>(wide[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size()) {
        auto low = static_cast<char32_t>(wide[i + 1]);
        if (low >= 0xDC00 && low < 0xE000) {
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
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

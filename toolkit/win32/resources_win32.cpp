#include "windows_base.h"

#include "resources_win32.h"

#include <vector>

#include "kestrel/utf8.h"

namespace toolkit {

namespace {

std::optional<std::string> Load(const std::wstring& type, const std::wstring& name) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, name.c_str(), type.c_str());
  if (!found)
    return std::nullopt;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    return std::nullopt;
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

}  // namespace

std::optional<std::string> FindResourceBytes(const std::string& key) {
  std::size_t colon = key.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == key.size())
    return std::nullopt;
  return Load(kestrel::Utf8ToWide(key.substr(0, colon)),
              kestrel::Utf8ToWide(key.substr(colon + 1)));
}

std::optional<PictureBytes> FindPicture(const std::string& name, float scale) {
  std::string stem = name;
  const std::string prefix = "IMG.MAIN:";
  if (stem.compare(0, prefix.size(), prefix) == 0)
    stem = stem.substr(prefix.size());
  struct Variant {
    float density;
    const char* suffix;
  };
  static const Variant kVariants[] = {{1, ""}, {1.5f, "@1.5x"}, {2, "@2x"}};
  std::optional<PictureBytes> best;
  for (const Variant& v : kVariants) {
    auto bytes = Load(L"IMG.MAIN", kestrel::Utf8ToWide(stem + v.suffix));
    if (!bytes)
      continue;
    best = PictureBytes{std::move(*bytes), v.density};
    if (v.density >= scale - 0.01f)
      break;
  }
  return best;
}

}  // namespace toolkit

// The program's resources for tests: the layouts, definitions and texts of kestrelrun/res and
// the pictures the build made from its SVGs, read as files.
#pragma once

#include <memory>
#include <string>

#include "toolkit/ui_context.h"

namespace toolkit::testing {

// Adds the pictures, then the resources with "uidef:xml_init"; false when an index is missing.
inline bool AddProgramResources(UiContext& context, std::string* error = nullptr) {
  auto pictures = std::make_unique<FileResProvider>();
  if (!pictures->Init(KESTREL_PICTURES_DIR, error))
    return false;
  context.AddResProvider(std::move(pictures), L"");
  auto resources = std::make_unique<FileResProvider>();
  if (!resources->Init(KESTREL_RES_DIR, error))
    return false;
  context.AddResProvider(std::move(resources));
  return true;
}

// Every diagnostic, one a line, for failure messages.
inline std::string DiagnosticsText(const UiContext& context) {
  std::wstring text;
  for (const auto& d : context.GetDiagnostics())
    text += d.ToString() + L"\n";
  return WideToUtf8(text);
}

}  // namespace toolkit::testing

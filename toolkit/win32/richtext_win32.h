// The read-only rich-text view (the licence agreement): a RichEdit 5 child window filled from
// RTF bytes, with word wrap and a vertical scroll bar.
#pragma once

#include "windows_base.h"

#include <string>

namespace toolkit {

// Null when msftedit.dll is missing. `bounds` in device pixels of `parent`'s client area.
HWND CreateRichTextView(HWND parent, const RECT& bounds, const std::string& rtf);

}  // namespace toolkit

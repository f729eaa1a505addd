#include "windows_base.h"

#include "richtext_win32.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace toolkit {

namespace {

struct Reader {
  const std::string* text;
  std::size_t at;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
  auto* r = reinterpret_cast<Reader*>(cookie);
  std::size_t n = std::min(static_cast<std::size_t>(want), r->text->size() - r->at);
  std::memcpy(buffer, r->text->data() + r->at, n);
  r->at += n;
  *got = static_cast<LONG>(n);
  return 0;
}

}  // namespace

HWND CreateRichTextView(HWND parent, const RECT& bounds, const std::string& rtf) {
  static HMODULE module = LoadLibraryW(L"msftedit.dll");
  if (!module)
    return nullptr;
  HWND edit = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                  ES_AUTOVSCROLL | ES_NOHIDESEL,
                              bounds.left, bounds.top, bounds.right - bounds.left,
                              bounds.bottom - bounds.top, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!edit)
    return nullptr;
  SendMessageW(edit, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
  SendMessageW(edit, EM_SETTARGETDEVICE, 0, 0);  // wrap at the window's width
  Reader reader{&rtf, 0};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reader), 0, ReadRtf};
  SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  return edit;
}

}  // namespace toolkit

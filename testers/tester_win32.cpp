#include "tester_win32.h"

#include <windows.h>

#include <string>

#include "kestrel/module_path.h"

namespace testers {
namespace {

// The folder holding this program, empty when it cannot be told.
std::wstring ProgramFolder() {
  const std::wstring path = kestrel::win32::ModulePath(nullptr);
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

BoxAnswer AskUser(const TesterTexts& texts) {
  // Yes/No/Cancel rather than Yes/No: a Yes/No box has its close button disabled and ignores
  // Esc, which would force a verdict on a user who only wants to leave. Here closing, Esc and
  // Cancel all mean "no verdict". The library waits for us, so the box comes to the front.
  const int button =
      MessageBoxW(nullptr, texts.question, texts.title,
                  MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1 | MB_SETFOREGROUND | MB_TOPMOST);
  switch (button) {
    case IDYES:
      return BoxAnswer::kYes;
    case IDNO:
      return BoxAnswer::kNo;
    default:  // IDCANCEL, or 0 when no box could be shown
      return BoxAnswer::kDismissed;
  }
}

}  // namespace

int RunTester(Device device) {
  const std::wstring folder = ProgramFolder();
  if (folder.empty()) {
    return kExitNoFolder;
  }
  const int verdict = VerdictOf(AskUser(TextsOf(device)));
  return WriteVerdict(std::filesystem::path(folder), device, verdict);
}

}  // namespace testers

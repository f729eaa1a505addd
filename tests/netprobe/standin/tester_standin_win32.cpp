// A stand-in for the tester programs in the Wine tests of the real NetProbe.dll: copied as
// Test\MicProbe.exe and Test\CamProbe.exe beside the test program, it asks nobody and leaves
// the verdict the test chose (KESTREL_TESTER_ANSWER, written as given) in the result file of
// the tester it stands for, in its own folder. Without a chosen answer it leaves no file.
// KESTREL_TESTER_LOG, when set, receives one line per run: the program's file name.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[512] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 512);
  return length > 0 && length < 512 ? std::wstring(value, length) : std::wstring();
}

void Append(const std::wstring& path, const std::string& text) {
  FILE* file = _wfopen(path.c_str(), L"ab");
  if (file != nullptr) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return 1;
  }
  const std::wstring path(self, length);
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
  const std::wstring name = path.substr(folder.size());
  const bool camera = _wcsicmp(name.c_str(), L"CamProbe.exe") == 0;

  const std::wstring log = Environment(L"KESTREL_TESTER_LOG");
  if (!log.empty()) {
    Append(log, std::string(name.begin(), name.end()) + "\n");  // the names are ASCII
  }
  const std::wstring answer = Environment(L"KESTREL_TESTER_ANSWER");
  if (answer.empty()) {
    return 0;
  }
  const std::wstring result =
      folder + (camera ? L"CameraTextResult.txt" : L"MicrophoneTextResult.txt");
  DeleteFileW(result.c_str());
  // The answer may hold a second line or text after the number: a real tester's file could.
  std::string text;
  for (wchar_t c : answer) {
    text += c == L'|' ? '\n' : static_cast<char>(c);
  }
  Append(result, text);
  return 0;
}

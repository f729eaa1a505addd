// Prints what each NetProbe export returns on this machine (under Wine: on a simulated one).
// Library texts are in the ANSI code page; they are printed as UTF-8 for the terminal.
#include <windows.h>

#include <cstdio>
#include <string>

#include "NetProbe.h"

namespace {

std::string AnsiToUtf8(const std::string& text) {
  if (text.empty()) {
    return {};
  }
  const int size = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), wideLength);
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

void PrintError(const ProbeError& error) {
  std::printf("  error %d: %s\n", error.code, AnsiToUtf8(error.message).c_str());
}

// Runs one export and prints its result line.
template <typename Call>
int Step(const char* name, Call call) {
  ProbeError error;
  const int result = call(&error);
  std::printf("%s -> %d\n", name, result);
  if (error.code != 0) {
    PrintError(error);
  }
  return result;
}

}  // namespace

int wmain() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("Lessora detection demo (code page %u)\n", GetACP());

  Step("InitDll", [](ProbeError* error) { return InitDll(error); });
  Step("GetNetworkState", [](ProbeError*) { return GetNetworkState(); });

  ReleaseDllRes();
  ReleaseDllRes();
  std::printf("ReleaseDllRes (twice) -> done\n");
  return 0;
}

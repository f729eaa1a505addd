// The error out-parameter shared by NetProbe's and MicProbe's exports, declared once for both.
// The caller creates it cleared and owns it; a library writes it only on a failure and never
// clears it. For NetProbe, code 100 always means that no network was found.
#pragma once

#include <string>

struct ProbeError {
  int code = 0;
  std::string message;  // Chinese text in the ANSI code page (936)
};

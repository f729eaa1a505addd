// NetProbe: the system, hardware and network probes behind Kestrel's detection run.
//
// Every export is a plain function with an undecorated name. Checking exports return 1 on
// success and 0 on failure with the caller's ProbeError filled. Records are owned by the library
// and handed out by pointer; read them in place and never free them. A pointer stays valid until
// ReleaseDllRes, and its contents are refilled each time the same export runs again.
//
// This header needs no <windows.h>. Every module that includes it must be built with the same
// toolchain and C++ runtime as NetProbe.dll, since the records hold std::string and std::vector.
#pragma once

#include <string>

#if defined(_WIN32)
#if defined(NETPROBE_BUILDING)
#define NETPROBE_API extern "C" __declspec(dllexport)
#else
#define NETPROBE_API extern "C" __declspec(dllimport)
#endif
#else
#define NETPROBE_API extern "C" __attribute__((visibility("default")))
#endif

// The error out-parameter. The caller creates it cleared and owns it; the library writes it only
// on a failure and never clears it. Code 100 always means that no network was found.
struct ProbeError {
  int code = 0;
  std::string message;  // Chinese text in the ANSI code page (936)
};

// Initialises libcurl. 1, or 0 with code 1 "初始化CURL失败".
NETPROBE_API int InitDll(ProbeError* error);

// Cleans up libcurl and destroys the engine. A second call does nothing; no other export may be
// called afterwards.
NETPROBE_API void ReleaseDllRes();

// 1 when one of the seven presence-check hosts answers a ping, else 0.
NETPROBE_API int GetNetworkState();

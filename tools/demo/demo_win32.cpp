// Runs Kestrel's libraries the way the program does on this machine (under Wine: on a simulated
// one) and prints what each export returns: UsageLink at start-up, the thirteen steps of one
// detection with the report upload, UsageLink at close. Library texts are in the ANSI code page;
// they are printed as UTF-8 for the terminal. `mic` runs MicProbe instead, `usagelink` only
// UsageLink's calls.
#include <windows.h>

#include <cstdio>
#include <string>

#include "NetProbe.h"
#include "demo_mic.h"
#include "demo_print.h"
#include "demo_report.h"
#include "demo_usagelink.h"

// The exit code of a run that stopped at a failed step, without a report.
constexpr int kRunStopped = 3;

int wmain(int argc, wchar_t** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc > 1 && std::wstring(argv[1]) == L"mic") {
    return RunMicDemo();
  }
  std::printf("Lessora detection demo (code page %u)\n", GetACP());
  if (argc > 1 && std::wstring(argv[1]) == L"usagelink") {
    UsageLinkAtClose(UsageLinkAtStart());
    return 0;
  }

  // The program's start-up: the presence check, the version check and the device identity,
  // libcurl.
  std::printf("\n-- start-up\n");
  int networkUp = Step("GetNetworkState", [](ProbeError*) { return GetNetworkState(); });
  const DeviceInfo device = UsageLinkAtStart();
  Step("InitDll", [](ProbeError* error) { return InitDll(error); });
  if (networkUp == 0) {
    // The start button shows the no-network page; its retry button checks once more.
    std::printf("\nno network: the start button shows the no-network page; retry\n");
    networkUp = Step("GetNetworkState", [](ProbeError*) { return GetNetworkState(); });
  }

  std::printf("\n-- detection\n");
  const std::wstring number = RunDetection(networkUp != 0);

  std::printf("\n-- close\n");
  UsageLinkAtClose(device);
  ReleaseDllRes();
  ReleaseDllRes();
  std::printf("ReleaseDllRes (twice) -> done\n\n");
  if (number.empty()) {
    std::printf(networkUp != 0 ? "no report: the run stopped before the upload\n"
                               : "no report: no network, no run\n");
    return kRunStopped;
  }
  std::printf("report number: %s\n", WideToUtf8(number).c_str());
  std::printf("report page: %s\n", ReportPageAddress(number).c_str());
  return 0;
}

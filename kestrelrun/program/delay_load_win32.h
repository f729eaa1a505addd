// MicProbe.dll and CamProbe.dll are delay-loaded: the program starts without them and loads them
// when it makes the device popups, after the main window's first paint. A missing or broken one
// then ends the program with a notice, as a missing library at its start did, instead of the
// delay-load helper's exception.
#pragma once

namespace kestrelrun {

// From the start of wWinMain: a delay-loaded library that fails to load, or lacks an export at
// its first call, shows "Load NAME Error!" and ends the process (exit code 0, as the toolkit's
// missing parts do).
void InstallDelayLoadNotice();

// Loads both libraries, or shows the notice for the first that fails and ends the process.
// Called before the first call into either.
void LoadDeviceLibraries();

}  // namespace kestrelrun

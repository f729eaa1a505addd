// Prints what MicProbe's exports return: the endpoints, the volumes, and the level of every block
// the loop-back records in three seconds (under Wine: from the private sound server's microphone).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MicProbe.h"
#include "demo_mic.h"
#include "demo_print.h"

namespace {

void PrintDevices(const char* name, int (*list)(AudioDeviceMap**)) {
  AudioDeviceMap* devices = nullptr;
  const int result = list(&devices);
  std::printf("%s -> %d\n", name, result);
  if (result != 1 || devices == nullptr) {
    return;
  }
  for (const auto& entry : *devices) {
    const AudioDevice& device = entry.second;
    std::printf("  %s %-24s %s\n", device.isDefault != 0 ? "*" : " ",
                WideToUtf8(device.name).c_str(), WideToUtf8(device.id).c_str());
  }
}

struct Levels {
  std::atomic<int> blocks{0};
};

// On the capture thread, between two blocks: one short line per block.
int PrintLevel(short* samples, int count, void* context) {
  auto* levels = static_cast<Levels*>(context);
  int peak = 0;
  double squares = 0;
  for (int i = 0; i < count; ++i) {
    peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    squares += static_cast<double>(samples[i]) * samples[i];
  }
  const double rms = count > 0 ? std::sqrt(squares / count) : 0;
  const double dbfs = rms > 0 ? 20 * std::log10(rms / 32768) : -HUGE_VAL;
  const int block = ++levels->blocks;
  std::printf("  block %3d: peak %5d, rms %7.1f (%6.1f dBFS)\n", block, peak, rms, dbfs);
  return 0;
}

// User and kernel time of the whole process (the engine's threads and the sound driver's).
double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user) == 0) {
    return 0;
  }
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

}  // namespace

int RunMicDemo() {
  std::printf("MicProbe demo (code page %u)\n", GetACP());
  PrintDevices("GetLocalMicrophone", GetLocalMicrophone);
  PrintDevices("GetLocalSystemSpeaker", GetLocalSystemSpeaker);

  int minimum = 0, maximum = 0, volume = 0, speaker = 0;
  const int range = GetMicrophoneVolumeRange(&minimum, &maximum);
  std::printf("GetMicrophoneVolumeRange -> %d (%d to %d)\n", range, minimum, maximum);
  const int micVolume = GetMicrophoneVolume(&volume);
  std::printf("GetMicrophoneVolume -> %d (%d)\n", micVolume, volume);
  const int speakerVolume = GetSpeakerVolume(&speaker);
  std::printf("GetSpeakerVolume -> %d (%d%%)\n", speakerVolume, speaker);

  Levels levels;
  SetMicrophoneTestDrawWaveCallBack(PrintLevel, &levels);
  ProbeError error;
  const int started = StartTestMicrophone(&error);
  std::printf("StartTestMicrophone -> %d\n", started);
  if (error.code != 0) {
    PrintError(error);
  }
  if (started == 1) {
    const double cpuBefore = ProcessCpuMs();
    Sleep(3000);
    const double cpuMs = ProcessCpuMs() - cpuBefore;
    std::printf("StopTestMicrophone -> %d (%d blocks in 3 s)\n", StopTestMicrophone(),
                levels.blocks.load());
    std::printf("CPU time of the loop-back: %.1f ms per second of audio\n", cpuMs / 3);
  }
  ReleaseMicDllRes();
  std::printf("ReleaseMicDllRes -> done\n");
  return started == 1 ? 0 : 1;
}

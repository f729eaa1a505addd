// Stand-ins for the wave devices, the endpoints and the mixer. The wave fakes keep the blocks
// the engine queues; a test hands them back one by one, as the device's thread would.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/mic_tester.h"
#include "endpoints/endpoint_backend.h"
#include "engine/wave_device.h"
#include "engine/wave_thread.h"
#include "mixer/mixer_backend.h"

namespace micprobe::test {

class FakeClock : public IClock {
 public:
  void SleepMs(int milliseconds) override { slept += milliseconds; }
  int slept = 0;
};

// Shared by both directions: the thread and the queue of blocks given to the device.
class FakeWaveThread {
 public:
  FakeWaveThread() = default;
  FakeWaveThread(const FakeWaveThread&) = delete;
  FakeWaveThread& operator=(const FakeWaveThread&) = delete;
  // Blocks a device still held when the test ended (a test that stopped nothing).
  ~FakeWaveThread() {
    for (WaveBlock* block : queued) {
      FreeBlock(block);
    }
    for (WaveBlock* block : done) {
      FreeBlock(block);
    }
  }
  bool startThreadFails = false;
  bool threadIgnoresQuit = false;
  int threadsStarted = 0;
  int terminated = 0;
  bool threadAlive = false;
  BlockHandler handler = nullptr;
  void* context = nullptr;
  std::deque<WaveBlock*> queued;  // given to the device, not yet handed back
  std::vector<WaveBlock*> done;   // handed back by Reset, not yet delivered

  // Hands the oldest queued block back to the engine (the device finished it).
  bool CompleteOne() {
    if (queued.empty()) {
      return false;
    }
    WaveBlock* block = queued.front();
    queued.pop_front();
    handler(block, context);
    return true;
  }
  // Delivers the blocks a reset returned.
  void DeliverReturned() {
    std::vector<WaveBlock*> blocks;
    blocks.swap(done);
    for (WaveBlock* block : blocks) {
      handler(block, context);
    }
  }

 protected:
  bool BeginThread(BlockHandler h, void* c) {
    if (startThreadFails) {
      return false;
    }
    ++threadsStarted;
    threadAlive = true;
    handler = h;
    context = c;
    return true;
  }
  void Quit() {
    // The thread takes back what a reset returned before it sees the quit.
    DeliverReturned();
    if (!threadIgnoresQuit) {
      threadAlive = false;
    }
  }
  void ResetQueue() {
    while (!queued.empty()) {
      done.push_back(queued.front());
      queued.pop_front();
    }
  }
};

class FakeWaveIn : public IWaveIn, public FakeWaveThread {
 public:
  bool openFails = false, prepareFails = false, addFails = false, startFails = false;
  bool resetFails = false, closeFails = false;
  bool open = false, started = false;
  int opens = 0;
  // Samples written into each block as it is completed by Capture.
  bool Capture(std::int16_t value) {
    if (queued.empty()) {
      return false;
    }
    auto* samples = reinterpret_cast<std::int16_t*>(queued.front()->data);
    for (std::uint32_t i = 0; i < queued.front()->length / 2; ++i) {
      samples[i] = value;
    }
    return CompleteOne();
  }

  bool StartThread(BlockHandler h, void* c) override { return BeginThread(h, c); }
  void PostQuit() override { Quit(); }
  bool ThreadActive() override { return threadAlive; }
  void TerminateThread() override {
    ++terminated;
    threadAlive = false;
  }
  void CloseThread() override { handler = nullptr; }
  bool Open(const WaveFormat&) override {
    ++opens;
    if (openFails || open) {
      return false;
    }
    open = true;
    return true;
  }
  bool Prepare(WaveBlock*) override { return !prepareFails; }
  bool Add(WaveBlock* block) override {
    if (addFails) {
      return false;
    }
    queued.push_back(block);
    return true;
  }
  bool Start() override {
    started = !startFails;
    return started;
  }
  bool Unprepare(WaveBlock*) override { return true; }
  bool Reset() override {
    if (resetFails) {
      return false;
    }
    ResetQueue();
    started = false;
    return true;
  }
  bool Close() override {
    if (closeFails || !queued.empty()) {
      return false;
    }
    open = false;
    return true;
  }
};

class FakeWaveOut : public IWaveOut, public FakeWaveThread {
 public:
  bool openFails = false;
  bool open = false;
  std::vector<std::vector<std::int16_t>> played;  // every written block's samples, in order

  bool StartThread(BlockHandler h, void* c) override { return BeginThread(h, c); }
  void PostQuit() override { Quit(); }
  bool ThreadActive() override { return threadAlive; }
  void TerminateThread() override {
    ++terminated;
    threadAlive = false;
  }
  void CloseThread() override { handler = nullptr; }
  bool Open(const WaveFormat&) override {
    if (openFails || open) {
      return false;
    }
    open = true;
    return true;
  }
  bool Prepare(WaveBlock*) override { return true; }
  bool Write(WaveBlock* block) override {
    const auto* samples = reinterpret_cast<const std::int16_t*>(block->data);
    played.emplace_back(samples, samples + block->length / 2);
    queued.push_back(block);
    return true;
  }
  bool Unprepare(WaveBlock*) override { return true; }
  bool Reset() override {
    ResetQueue();
    return true;
  }
  bool Close() override {
    if (!queued.empty()) {
      return false;
    }
    open = false;
    return true;
  }
};

struct FakeEndpoint {
  std::wstring id;
  std::wstring name;
  bool failsHere = false;  // the walk fails at this endpoint
};

class FakeSpeakerVolume;

class FakeEndpoints : public IEndpointBackend {
 public:
  std::vector<FakeEndpoint> capture, render;
  std::wstring defaultCapture, defaultRender;
  std::int32_t makeDefaultResult = 0;
  std::vector<std::wstring> madeDefault;
  int comDepth = 0, comCalls = 0;

  // The speaker.
  bool volumeOpens = true;
  bool muted = false;
  float level = 0.5F;
  bool setLevelFails = false;
  std::vector<std::string> calls;  // "mute(1,fresh)", "level(0.30,null)", ...

  void EnterCall() override {
    ++comDepth;
    ++comCalls;
  }
  void LeaveCall() override { --comDepth; }
  bool WalkActive(Flow flow, Visit visit, void* context) override {
    for (const FakeEndpoint& endpoint : flow == Flow::kCapture ? capture : render) {
      if (endpoint.failsHere) {
        return false;
      }
      visit(endpoint.id, endpoint.name, context);
    }
    return true;
  }
  bool DefaultName(Flow flow, std::wstring* name) override {
    *name = flow == Flow::kCapture ? defaultCapture : defaultRender;
    return !name->empty();
  }
  std::int32_t MakeDefault(const std::wstring& id) override {
    madeDefault.push_back(id);
    return makeDefaultResult;
  }
  std::unique_ptr<ISpeakerVolume> OpenSpeakerVolume(bool forChange) override;
};

class FakeSpeakerVolume : public ISpeakerVolume {
 public:
  explicit FakeSpeakerVolume(FakeEndpoints& owner) : owner_(owner) {}
  bool GetLevel(float* level) override {
    *level = owner_.level;
    return true;
  }
  bool GetMute(bool* muted) override {
    *muted = owner_.muted;
    return true;
  }
  bool SetMute(bool muted, bool fresh) override {
    owner_.calls.push_back(std::string("mute(") + (muted ? "1" : "0") +
                           (fresh ? ",fresh)" : ",null)"));
    owner_.muted = muted;
    return true;
  }
  bool SetLevel(float level, bool fresh) override {
    char text[40];
    std::snprintf(text, sizeof text, "level(%.2f,%s)", static_cast<double>(level),
                  fresh ? "fresh" : "null");
    owner_.calls.push_back(text);
    if (owner_.setLevelFails) {
      return false;
    }
    owner_.level = level;
    return true;
  }

 private:
  FakeEndpoints& owner_;
};

inline std::unique_ptr<ISpeakerVolume> FakeEndpoints::OpenSpeakerVolume(bool) {
  if (!volumeOpens) {
    return nullptr;
  }
  return std::make_unique<FakeSpeakerVolume>(*this);
}

// A mixer with one recording destination, its sources and its controls.
class FakeMixer : public IMixerBackend {
 public:
  bool present = true;
  int opens = 0, closes = 0;
  MixerLine destination{0, 100, 2, 4, 0};
  std::vector<MixerLine> sources;                        // by source index
  std::map<std::uint32_t, MixerControl> volumeControls;  // by line id
  std::vector<MixerControl> destinationControls;
  std::map<std::uint32_t, std::vector<std::int32_t>> values;  // by control id
  bool setFails = false;
  int sets = 0;

  bool Open(std::uint32_t) override {
    if (!present) {
      return false;
    }
    ++opens;
    return true;
  }
  void Close() override { ++closes; }
  bool RecordingLine(MixerLine* line) override {
    *line = destination;
    line->controls = static_cast<std::uint32_t>(destinationControls.size());
    return true;
  }
  bool SourceLine(std::uint32_t, std::uint32_t source, MixerLine* line) override {
    if (source >= sources.size()) {
      return false;
    }
    *line = sources[source];
    return true;
  }
  bool VolumeControl(std::uint32_t lineId, MixerControl* control) override {
    auto found = volumeControls.find(lineId);
    if (found == volumeControls.end()) {
      return false;
    }
    *control = found->second;
    return true;
  }
  bool AllControls(const MixerLine&, std::vector<MixerControl>* controls) override {
    *controls = destinationControls;
    return true;
  }
  bool GetValues(std::uint32_t id, std::uint32_t channels, std::uint32_t items,
                 std::vector<std::int32_t>* out) override {
    auto found = values.find(id);
    if (found == values.end() || found->second.size() != std::size_t{channels} * items) {
      return false;
    }
    *out = found->second;
    return true;
  }
  bool SetValues(std::uint32_t id, std::uint32_t channels, std::uint32_t items,
                 const std::vector<std::int32_t>& in) override {
    ++sets;
    if (setFails || in.size() != std::size_t{channels} * items) {
      return false;
    }
    values[id] = in;
    return true;
  }
};

// One tester over fresh fakes.
struct FakeAudio {
  FakeClock clock;
  FakeWaveIn waveIn;
  FakeWaveOut waveOut;
  FakeEndpoints endpoints;
  FakeMixer mixer;

  AudioServices Services() {
    AudioServices services;
    services.waveIn = &waveIn;
    services.waveOut = &waveOut;
    services.clock = &clock;
    services.endpoints = &endpoints;
    services.mixer = &mixer;
    return services;
  }
};

}  // namespace micprobe::test

// Stand-ins for the sound streams, the endpoints and the mixer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dll/mic_tester.h"
#include "endpoints/endpoint_backend.h"
#include "engine/audio_stream.h"
#include "mixer/mixer_backend.h"

namespace micprobe::test {

class FakeClock : public IClock {
 public:
  void SleepMs(int milliseconds) override { slept += milliseconds; }
  int slept = 0;
};

// A stream of either direction: it keeps the blocks the engine queues; a test hands them back
// one by one, as the device's thread would.
class FakeStream : public IAudioStream {
 public:
  explicit FakeStream(bool render) : render_(render) {}
  FakeStream(const FakeStream&) = delete;
  FakeStream& operator=(const FakeStream&) = delete;

  bool startThreadFails = false, threadIgnoresQuit = false;
  bool openFails = false, prepareFails = false, addFails = false, startFails = false;
  bool resetFails = false, closeFails = false;
  int threadsStarted = 0, terminated = 0, opens = 0;
  bool threadAlive = false, open = false, started = false;
  std::deque<std::vector<std::int16_t>> queued;   // given to the device, not yet handed back
  std::vector<std::vector<std::int16_t>> played;  // render: every queued block, in order

  OpenResult Open(const WaveFormat& format, IStreamClient& client) override {
    if (startThreadFails) {
      return OpenResult::kNoThread;
    }
    ++threadsStarted;
    ++opens;
    client_ = &client;
    samples_ = format.samplesPerBlock;
    if (openFails || open) {
      return OpenResult::kNoDevice;  // the thread ended again
    }
    threadAlive = true;
    open = true;
    return OpenResult::kOpened;
  }
  bool Start(int blocks) override {
    for (int i = 0; i < blocks; ++i) {
      std::vector<std::int16_t> block(samples_);
      if (render_) {
        CBuffer view(block.data(), static_cast<std::uint32_t>(block.size() * 2));
        client_->FillFirst(view);
        block.resize(view.length / 2);
      }
      if (prepareFails || addFails) {
        client_->OnFault(prepareFails ? StreamFault::kPrepare : StreamFault::kQueue);
        continue;
      }
      Queue(std::move(block));
    }
    started = !startFails;
    return started;
  }
  StopResult Stop() override {
    StopResult result;
    if (resetFails) {
      return result;
    }
    result.reset = true;
    queued.clear();  // given back and freed on the thread, never reaching the client
    started = false;
    result.closed = !closeFails;
    open = !result.closed;
    if (threadIgnoresQuit) {
      ++terminated;
      result.threadEndedItself = false;
    }
    threadAlive = false;
    return result;
  }
  int BlocksInFlight() const override { return static_cast<int>(queued.size()); }

  // A step inside the stream failed.
  void Fault(StreamFault fault) { client_->OnFault(fault); }
  // Hands the oldest queued block back to the engine (the device finished it).
  bool CompleteOne() {
    if (queued.empty()) {
      return false;
    }
    std::vector<std::int16_t> block = std::move(queued.front());
    queued.pop_front();
    CBuffer view(block.data(), static_cast<std::uint32_t>(block.size() * 2));
    if (client_->OnBlock(view) && view.length > 0) {
      block.resize(view.length / 2);
      Queue(std::move(block));
    }
    return true;
  }

 protected:
  void Queue(std::vector<std::int16_t> block) {
    if (render_) {
      played.push_back(block);
    }
    queued.push_back(std::move(block));
  }

 private:
  bool render_;
  IStreamClient* client_ = nullptr;
  std::uint32_t samples_ = 0;
};

class FakeWaveIn : public FakeStream {
 public:
  FakeWaveIn() : FakeStream(false) {}
  // Records `value` into every sample of the oldest queued block and hands it back.
  bool Capture(std::int16_t value) {
    if (queued.empty()) {
      return false;
    }
    for (auto& sample : queued.front()) {
      sample = value;
    }
    return CompleteOne();
  }
};

class FakeWaveOut : public FakeStream {
 public:
  FakeWaveOut() : FakeStream(true) {}
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
    services.capture = &waveIn;
    services.render = &waveOut;
    services.clock = &clock;
    services.endpoints = &endpoints;
    services.mixer = &mixer;
    return services;
  }
};

}  // namespace micprobe::test

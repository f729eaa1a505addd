// winmm wave input and output as streams: each direction keeps its blocks with their wave
// headers, and a message thread of its own that receives the device's MM_WIM_DATA or
// MM_WOM_DONE messages, takes each finished block back from the device, hands it to the
// engine and queues it again.
// windows.h first: the multimedia headers need its types.
#include <windows.h>

#include <mmsystem.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <new>

#include "engine/wave_win32.h"

namespace micprobe::win32 {

namespace {

// After a reset the thread takes the returned blocks back; the close waits this long for them.
constexpr DWORD kBlocksBackMs = 100;
// A thread that has not ended this long after its quit message is ended by force.
constexpr DWORD kThreadEndMs = 500;
constexpr DWORD kForcedEndMs = 1000;

WAVEFORMATEX ToWaveFormat(const WaveFormat& format) {
  WAVEFORMATEX wave{};
  wave.wFormatTag = format.formatTag;
  wave.nChannels = format.channels;
  wave.nSamplesPerSec = format.samplesPerSecond;
  wave.nAvgBytesPerSec = format.averageBytesPerSecond;
  wave.nBlockAlign = format.blockAlign;
  wave.wBitsPerSample = format.bitsPerSample;
  wave.cbSize = format.extraSize;
  return wave;
}

// One block: its wave header, pointing back at it, and its data.
struct Block {
  WAVEHDR header{};
  std::unique_ptr<char[]> data;
  DWORD bytes = 0;
};

Block* NewBlock(DWORD bytes) {
  auto* block = new (std::nothrow) Block;
  if (block == nullptr) {
    return nullptr;
  }
  block->data.reset(new (std::nothrow) char[bytes]());
  if (block->data == nullptr) {
    delete block;
    return nullptr;
  }
  block->bytes = bytes;
  return block;
}

// A fresh header over the block's first `length` bytes.
WAVEHDR* FreshHeader(Block* block, DWORD length) {
  WAVEHDR* header = &block->header;
  ZeroMemory(header, sizeof *header);
  header->lpData = block->data.get();
  header->dwBufferLength = length;
  header->dwUser = reinterpret_cast<DWORD_PTR>(block);
  return header;
}

// What differs between the two directions: winmm's calls for them and a few rules. One table
// per direction; the stream below is the same for both.
template <typename Handle>
struct WaveApi {
  using OpenCall = MMRESULT(WINAPI*)(Handle*, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD);
  using HeaderCall = MMRESULT(WINAPI*)(Handle, LPWAVEHDR, UINT);
  using DeviceCall = MMRESULT(WINAPI*)(Handle);

  UINT done;  // the message a finished block comes back with
  // The pause after the close for blocks the thread has not yet taken back.
  DWORD afterCloseMs;
  // A block that could not be taken back is freed (input) or left to the device (output).
  bool freeWhatIsNotTakenBack;
  // Whether a failure to queue a block again is reported.
  bool requeueFaultsReported;
  // Whether a fresh block takes its first content from the client (else it records).
  bool filledFirst;
  OpenCall open;
  HeaderCall prepare;
  HeaderCall queue;
  HeaderCall unprepare;
  DeviceCall run;  // null: a queued block plays at once
  DeviceCall reset;
  DeviceCall close;
};

// Fields in the order of WaveApi.
// clang-format off
constexpr WaveApi<HWAVEIN> kCapture{
    MM_WIM_DATA, 10, true,  false, false,  // done, afterCloseMs, free, requeue faults, filled
    &waveInOpen, &waveInPrepareHeader, &waveInAddBuffer, &waveInUnprepareHeader,
    &waveInStart, &waveInReset, &waveInClose,
};

constexpr WaveApi<HWAVEOUT> kRender{
    MM_WOM_DONE, 30, false, true,  true,
    &waveOutOpen, &waveOutPrepareHeader, &waveOutWrite, &waveOutUnprepareHeader,
    nullptr, &waveOutReset, &waveOutClose,
};
// clang-format on

template <typename Handle>
class WaveStream : public IAudioStream {
 public:
  explicit WaveStream(const WaveApi<Handle>& api) : api_(api) {}
  WaveStream(const WaveStream&) = delete;
  WaveStream& operator=(const WaveStream&) = delete;

  OpenResult Open(const WaveFormat& format, IStreamClient& client) override {
    client_ = &client;
    bytes_ = format.BlockBytes();
    {
      std::lock_guard<std::mutex> hold(lock_);
      stopping_ = false;
    }
    if (!StartThread()) {
      return OpenResult::kNoThread;
    }
    const WAVEFORMATEX wave = ToWaveFormat(format);
    handle_ = nullptr;
    if (api_.open(&handle_, WAVE_MAPPER, &wave, threadId_, 0, CALLBACK_THREAD) !=
        MMSYSERR_NOERROR) {
      EndThread();
      return OpenResult::kNoDevice;
    }
    return OpenResult::kOpened;
  }

  bool Start(int blocks) override {
    std::lock_guard<std::mutex> hold(lock_);
    for (int i = 0; i < blocks; ++i) {
      Block* block = NewBlock(bytes_);
      if (block == nullptr) {
        client_->OnFault(StreamFault::kOutOfMemory);
        continue;
      }
      DWORD length = bytes_;
      if (api_.filledFirst) {
        CBuffer view(block->data.get(), bytes_);
        client_->FillFirst(view);
        length = view.length;
      }
      ++inFlight_;
      QueueLocked(block, length, true);
    }
    return api_.run == nullptr || api_.run(handle_) == MMSYSERR_NOERROR;
  }

  StopResult Stop() override {
    StopResult result;
    {
      std::lock_guard<std::mutex> hold(lock_);
      stopping_ = true;
      if (api_.reset(handle_) != MMSYSERR_NOERROR) {
        return result;  // the device keeps its blocks, so the thread stays for them
      }
    }
    result.reset = true;
    // The returned blocks are freed on the thread; the wait ends as soon as the last is.
    const ULONGLONG until = GetTickCount64() + kBlocksBackMs;
    for (ULONGLONG now = GetTickCount64(); inFlight_ > 0 && now < until; now = GetTickCount64()) {
      WaitForSingleObject(blockBack_, static_cast<DWORD>(until - now));
    }
    result.closed = api_.close(handle_) == MMSYSERR_NOERROR;
    if (inFlight_ > 0) {
      Sleep(api_.afterCloseMs);  // a loaded machine makes each pause a round of the scheduler
    }
    result.threadEndedItself = EndThread();
    return result;
  }

  int BlocksInFlight() const override { return inFlight_; }

 private:
  bool StartThread() {
    if (blockBack_ == nullptr) {
      blockBack_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    }
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ready == nullptr || blockBack_ == nullptr) {
      if (ready != nullptr) {
        CloseHandle(ready);
      }
      return false;
    }
    ready_ = ready;
    thread_ = CreateThread(nullptr, 0, &WaveStream::Loop, this, 0, &threadId_);
    if (thread_ != nullptr) {
      // The device posts to the thread's queue, which must exist before the device opens. The
      // thread signals once it has one, or ends.
      const HANDLE either[] = {ready, thread_};
      WaitForMultipleObjects(2, either, FALSE, INFINITE);
    }
    ready_ = nullptr;
    CloseHandle(ready);
    return thread_ != nullptr;
  }

  // Asks the thread to end and waits for it; true when it ended by itself.
  bool EndThread() {
    if (thread_ == nullptr) {
      return true;
    }
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    const bool ended = WaitForSingleObject(thread_, kThreadEndMs) == WAIT_OBJECT_0;
    if (!ended) {
      TerminateThread(thread_, 1);
      WaitForSingleObject(thread_, kForcedEndMs);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    threadId_ = 0;
    return ended;
  }

  static DWORD WINAPI Loop(LPVOID parameter) {
    auto* self = static_cast<WaveStream*>(parameter);
    // The thread turns finished blocks round; a late turn is a gap in the sound.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    MSG message{};
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(self->ready_);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (message.message == self->api_.done && message.lParam != 0) {
        auto* header = reinterpret_cast<WAVEHDR*>(message.lParam);
        try {
          self->OnDone(reinterpret_cast<Block*>(header->dwUser));
        } catch (...) {
          // Nothing may end the thread, and the program with it; the block is lost.
        }
      }
    }
    return static_cast<DWORD>(message.wParam);
  }

  void OnDone(Block* block) {
    bool stopping = false;
    {
      std::lock_guard<std::mutex> hold(lock_);
      stopping = stopping_;
    }
    if (Unprepare(&block->header) != MMSYSERR_NOERROR && !stopping) {
      client_->OnFault(StreamFault::kUnprepare);
      if (api_.freeWhatIsNotTakenBack) {
        Release(block);
      }
      return;
    }
    bool again = false;
    DWORD length = bytes_;
    if (!stopping) {
      CBuffer view(block->data.get(), bytes_);
      try {
        again = client_->OnBlock(view);
      } catch (...) {
        again = false;  // a block whose handling failed is given up
      }
      length = view.length;
    }
    if (!again || length == 0) {
      Release(block);
      return;
    }
    std::lock_guard<std::mutex> hold(lock_);
    if (stopping_) {
      Release(block);  // a block queued after the reset would keep the device from closing
      return;
    }
    QueueLocked(block, length, api_.requeueFaultsReported);
  }

  // Queues a counted block; one that fails is freed.
  void QueueLocked(Block* block, DWORD length, bool reportFaults) {
    WAVEHDR* header = FreshHeader(block, length);
    if (api_.prepare(handle_, header, sizeof *header) != MMSYSERR_NOERROR) {
      if (reportFaults) {
        client_->OnFault(StreamFault::kPrepare);
      }
      Release(block);
      return;
    }
    if (api_.queue(handle_, header, sizeof *header) != MMSYSERR_NOERROR) {
      if (reportFaults) {
        client_->OnFault(StreamFault::kQueue);
      }
      Unprepare(header);
      Release(block);
    }
  }

  MMRESULT Unprepare(WAVEHDR* header) { return api_.unprepare(handle_, header, sizeof *header); }

  void Release(Block* block) {
    delete block;
    --inFlight_;
    SetEvent(blockBack_);
  }

  const WaveApi<Handle>& api_;
  Handle handle_ = nullptr;
  IStreamClient* client_ = nullptr;
  DWORD bytes_ = 0;
  std::mutex lock_;
  bool stopping_ = false;  // guarded by lock_
  std::atomic<int> inFlight_{0};
  HANDLE blockBack_ = nullptr;
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
};

class Clock : public IClock {
 public:
  void SleepMs(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
};

}  // namespace

std::unique_ptr<IAudioStream> MakeCaptureStream() {
  return std::make_unique<WaveStream<HWAVEIN>>(kCapture);
}

std::unique_ptr<IAudioStream> MakeRenderStream() {
  return std::make_unique<WaveStream<HWAVEOUT>>(kRender);
}

std::unique_ptr<IClock> MakeClock() {
  return std::make_unique<Clock>();
}

}  // namespace micprobe::win32

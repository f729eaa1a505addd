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

#include "core/win32_services.h"

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

// The winmm calls of the two directions.
struct CaptureApi {
  using Handle = HWAVEIN;
  static constexpr UINT kDone = MM_WIM_DATA;
  // The pause after the close for blocks the thread has not yet taken back.
  static constexpr DWORD kAfterCloseMs = 10;
  // A block that could not be taken back is freed (input) or left to the device (output).
  static constexpr bool kFreeWhatIsNotTakenBack = true;
  // Whether a failure to queue a block again gets its text.
  static constexpr bool kRequeueFaultsReported = false;
  // Whether a fresh block takes its first content from the client (else it records).
  static constexpr bool kFilledFirst = false;
  static MMRESULT Open(Handle* handle, const WAVEFORMATEX* format, DWORD thread) {
    return waveInOpen(handle, WAVE_MAPPER, format, thread, 0, CALLBACK_THREAD);
  }
  static MMRESULT Prepare(Handle h, WAVEHDR* w) { return waveInPrepareHeader(h, w, sizeof *w); }
  static MMRESULT Queue(Handle h, WAVEHDR* w) { return waveInAddBuffer(h, w, sizeof *w); }
  static MMRESULT Unprepare(Handle h, WAVEHDR* w) { return waveInUnprepareHeader(h, w, sizeof *w); }
  static MMRESULT Run(Handle h) { return waveInStart(h); }
  static MMRESULT Reset(Handle h) { return waveInReset(h); }
  static MMRESULT Close(Handle h) { return waveInClose(h); }
};

struct RenderApi {
  using Handle = HWAVEOUT;
  static constexpr UINT kDone = MM_WOM_DONE;
  static constexpr DWORD kAfterCloseMs = 30;
  static constexpr bool kFreeWhatIsNotTakenBack = false;
  static constexpr bool kRequeueFaultsReported = true;
  static constexpr bool kFilledFirst = true;
  static MMRESULT Open(Handle* handle, const WAVEFORMATEX* format, DWORD thread) {
    return waveOutOpen(handle, WAVE_MAPPER, format, thread, 0, CALLBACK_THREAD);
  }
  static MMRESULT Prepare(Handle h, WAVEHDR* w) { return waveOutPrepareHeader(h, w, sizeof *w); }
  static MMRESULT Queue(Handle h, WAVEHDR* w) { return waveOutWrite(h, w, sizeof *w); }
  static MMRESULT Unprepare(Handle h, WAVEHDR* w) {
    return waveOutUnprepareHeader(h, w, sizeof *w);
  }
  static MMRESULT Run(Handle) { return MMSYSERR_NOERROR; }  // a written block plays at once
  static MMRESULT Reset(Handle h) { return waveOutReset(h); }
  static MMRESULT Close(Handle h) { return waveOutClose(h); }
};

template <typename Api>
class WaveStream : public IAudioStream {
 public:
  WaveStream() = default;
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
    if (Api::Open(&handle_, &wave, threadId_) != MMSYSERR_NOERROR) {
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
      if (Api::kFilledFirst) {
        CBuffer view(block->data.get(), bytes_);
        client_->FillFirst(view);
        length = view.length;
      }
      ++inFlight_;
      QueueLocked(block, length, true);
    }
    return Api::Run(handle_) == MMSYSERR_NOERROR;
  }

  StopResult Stop() override {
    StopResult result;
    {
      std::lock_guard<std::mutex> hold(lock_);
      stopping_ = true;
      if (Api::Reset(handle_) != MMSYSERR_NOERROR) {
        return result;  // the device keeps its blocks, so the thread stays for them
      }
    }
    result.reset = true;
    // The returned blocks are freed on the thread; the wait ends as soon as the last is.
    const ULONGLONG until = GetTickCount64() + kBlocksBackMs;
    for (ULONGLONG now = GetTickCount64(); inFlight_ > 0 && now < until; now = GetTickCount64()) {
      WaitForSingleObject(blockBack_, static_cast<DWORD>(until - now));
    }
    result.closed = Api::Close(handle_) == MMSYSERR_NOERROR;
    if (inFlight_ > 0) {
      Sleep(Api::kAfterCloseMs);  // a loaded machine makes each pause a round of the scheduler
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
      if (message.message == Api::kDone && message.lParam != 0) {
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
    if (Api::Unprepare(handle_, &block->header) != MMSYSERR_NOERROR && !stopping) {
      client_->OnFault(StreamFault::kUnprepare);
      if (Api::kFreeWhatIsNotTakenBack) {
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
    QueueLocked(block, length, Api::kRequeueFaultsReported);
  }

  // Queues a counted block; one that fails is freed.
  void QueueLocked(Block* block, DWORD length, bool reportFaults) {
    WAVEHDR* header = FreshHeader(block, length);
    if (Api::Prepare(handle_, header) != MMSYSERR_NOERROR) {
      if (reportFaults) {
        client_->OnFault(StreamFault::kPrepare);
      }
      Release(block);
      return;
    }
    if (Api::Queue(handle_, header) != MMSYSERR_NOERROR) {
      if (reportFaults) {
        client_->OnFault(StreamFault::kQueue);
      }
      Api::Unprepare(handle_, header);
      Release(block);
    }
  }

  void Release(Block* block) {
    delete block;
    --inFlight_;
    SetEvent(blockBack_);
  }

  typename Api::Handle handle_ = nullptr;
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
  return std::make_unique<WaveStream<CaptureApi>>();
}

std::unique_ptr<IAudioStream> MakeRenderStream() {
  return std::make_unique<WaveStream<RenderApi>>();
}

std::unique_ptr<IClock> MakeClock() {
  return std::make_unique<Clock>();
}

}  // namespace micprobe::win32

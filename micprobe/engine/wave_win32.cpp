// winmm wave input and output, each with a message thread of its own that receives the
// device's MM_WIM_DATA or MM_WOM_DONE messages.
// windows.h first: the multimedia and audio headers need its types.
#include <windows.h>

#include <mmsystem.h>

#include "core/win32_services.h"

namespace micprobe::win32 {

namespace {

WAVEHDR* Header(WaveBlock* block) {
  static_assert(sizeof(WAVEHDR) <= sizeof(WaveBlock::platform), "room for the wave header");
  return reinterpret_cast<WAVEHDR*>(block->platform);
}

// A fresh header over the block's data, pointing back at the block.
WAVEHDR* FreshHeader(WaveBlock* block) {
  WAVEHDR* header = Header(block);
  ZeroMemory(header, sizeof *header);
  header->lpData = block->data;
  header->dwBufferLength = block->length;
  header->dwUser = reinterpret_cast<DWORD_PTR>(block);
  return header;
}

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

class MessageThread {
 public:
  explicit MessageThread(UINT message) : message_(message) {}
  MessageThread(const MessageThread&) = delete;
  MessageThread& operator=(const MessageThread&) = delete;

  bool Start(BlockHandler handler, void* context) {
    handler_ = handler;
    context_ = context;
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ready_ == nullptr) {
      return false;
    }
    handle_ = CreateThread(nullptr, 0, &MessageThread::Loop, this, 0, &id_);
    if (handle_ != nullptr) {
      // The device posts to the thread's queue, which must exist before the device opens.
      WaitForSingleObject(ready_, 5000);
    }
    CloseHandle(ready_);
    ready_ = nullptr;
    return handle_ != nullptr;
  }
  void PostQuit() { PostThreadMessageW(id_, WM_QUIT, 0, 0); }
  bool Active() {
    DWORD code = 0;
    return handle_ != nullptr && GetExitCodeThread(handle_, &code) && code == STILL_ACTIVE;
  }
  void Terminate() {
    if (handle_ != nullptr) {
      ::TerminateThread(handle_, 1);
      WaitForSingleObject(handle_, 1000);
    }
  }
  void Close() {
    if (handle_ != nullptr) {
      CloseHandle(handle_);
    }
    handle_ = nullptr;
    id_ = 0;
  }
  DWORD Id() const { return id_; }

 private:
  static DWORD WINAPI Loop(LPVOID parameter) {
    auto* self = static_cast<MessageThread*>(parameter);
    MSG message{};
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(self->ready_);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (message.message == self->message_ && message.lParam != 0) {
        auto* header = reinterpret_cast<WAVEHDR*>(message.lParam);
        self->handler_(reinterpret_cast<WaveBlock*>(header->dwUser), self->context_);
      }
    }
    return static_cast<DWORD>(message.wParam);
  }

  UINT message_;
  BlockHandler handler_ = nullptr;
  void* context_ = nullptr;
  HANDLE ready_ = nullptr;
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// The message-thread half that both directions share.
template <typename Device>
class ThreadedDevice : public Device {
 public:
  explicit ThreadedDevice(UINT message) : thread_(message) {}
  bool StartThread(BlockHandler handler, void* context) override {
    return thread_.Start(handler, context);
  }
  void PostQuit() override { thread_.PostQuit(); }
  bool ThreadActive() override { return thread_.Active(); }
  void TerminateThread() override { thread_.Terminate(); }
  void CloseThread() override { thread_.Close(); }

 protected:
  MessageThread thread_;
};

class WaveIn : public ThreadedDevice<IWaveIn> {
 public:
  WaveIn() : ThreadedDevice(MM_WIM_DATA) {}

  bool Open(const WaveFormat& format) override {
    WAVEFORMATEX wave = ToWaveFormat(format);
    handle_ = nullptr;
    return waveInOpen(&handle_, WAVE_MAPPER, &wave, thread_.Id(), 0, CALLBACK_THREAD) ==
           MMSYSERR_NOERROR;
  }
  bool Prepare(WaveBlock* block) override {
    return waveInPrepareHeader(handle_, FreshHeader(block), sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
  bool Add(WaveBlock* block) override {
    return waveInAddBuffer(handle_, Header(block), sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
  bool Start() override { return waveInStart(handle_) == MMSYSERR_NOERROR; }
  bool Unprepare(WaveBlock* block) override {
    return waveInUnprepareHeader(handle_, Header(block), sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
  bool Reset() override { return waveInReset(handle_) == MMSYSERR_NOERROR; }
  bool Close() override { return waveInClose(handle_) == MMSYSERR_NOERROR; }

 private:
  HWAVEIN handle_ = nullptr;
};

class WaveOut : public ThreadedDevice<IWaveOut> {
 public:
  WaveOut() : ThreadedDevice(MM_WOM_DONE) {}

  bool Open(const WaveFormat& format) override {
    WAVEFORMATEX wave = ToWaveFormat(format);
    handle_ = nullptr;
    return waveOutOpen(&handle_, WAVE_MAPPER, &wave, thread_.Id(), 0, CALLBACK_THREAD) ==
           MMSYSERR_NOERROR;
  }
  bool Prepare(WaveBlock* block) override {
    return waveOutPrepareHeader(handle_, FreshHeader(block), sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
  bool Write(WaveBlock* block) override {
    return waveOutWrite(handle_, Header(block), sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
  bool Unprepare(WaveBlock* block) override {
    return waveOutUnprepareHeader(handle_, Header(block), sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }
  bool Reset() override { return waveOutReset(handle_) == MMSYSERR_NOERROR; }
  bool Close() override { return waveOutClose(handle_) == MMSYSERR_NOERROR; }

 private:
  HWAVEOUT handle_ = nullptr;
};

class Clock : public IClock {
 public:
  void SleepMs(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
};

}  // namespace

std::unique_ptr<IWaveIn> MakeWaveIn() {
  return std::make_unique<WaveIn>();
}

std::unique_ptr<IWaveOut> MakeWaveOut() {
  return std::make_unique<WaveOut>();
}

std::unique_ptr<IClock> MakeClock() {
  return std::make_unique<Clock>();
}

}  // namespace micprobe::win32

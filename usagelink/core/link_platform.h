// The platform interfaces the library's object works over: the HTTP post, the command runner
// and the shell (libcurl in curl_post.cpp, Win32 in *_win32.cpp, fakes in tests).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "core/response_buffer.h"

namespace usagelink {

// One POST of a JSON body; the answer, headers first, goes into the buffer.
class IHttpPost {
 public:
  virtual ~IHttpPost() = default;
  // False when the transfer could not be set up or failed.
  virtual bool Post(const std::string& url, const std::string& body, ResponseBuffer& answer) = 0;
};

// Runs one command through "cmd /C" and hands its output to `sink` from a thread of its own.
class ICommandOp {
 public:
  using Sink = std::function<void(const char* data, std::size_t size)>;
  virtual ~ICommandOp() = default;
  virtual bool Run(const std::string& command, Sink sink) = 0;
  // True once the command's output has ended (its pipe closed) and every chunk reached the sink.
  virtual bool Finished() = 0;
  // Ends the command's own cmd.exe and powershell.exe processes; never waits for the reader.
  virtual void Stop() = 0;
};

class IPlatform {
 public:
  virtual ~IPlatform() = default;
  virtual std::unique_ptr<ICommandOp> MakeCommandOp() = 0;
  virtual void OpenInBrowser(const std::wstring& address) = 0;
  virtual void SleepMilliseconds(unsigned milliseconds) = 0;
};

}  // namespace usagelink

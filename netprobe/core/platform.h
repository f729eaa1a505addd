// The platform operations the portable core needs, each behind a small interface. The Win32
// implementations live in *_win32.cpp files; tests hand the engine fakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/shared.h"

namespace netprobe {

// Runs Windows command-line tools through "cmd /C".
class ICommandRunner {
 public:
  virtual ~ICommandRunner() = default;

  // Runs the command hidden and appends everything it wrote to standard output and error, as
  // raw bytes in the OEM code page. 1 when the process was started (whatever its exit code),
  // 0 when it was not, in which case `output` is left unchanged.
  virtual int RunCommand(const std::wstring& command, std::string& output) = 0;

  // Runs the command without capturing its output; `show` 0 hides its window. Waits for it.
  // 1 when it was started, 0 otherwise.
  virtual int LaunchCommand(const std::wstring& command, int show) = 0;

  // cmd's exit code when it started but could not start the tool it was given (no such program,
  // or the system refused the process, as a busy machine may): the tool never ran.
  static constexpr unsigned long kToolNotStarted = 9009;

  // As RunCommand; `exitCode` receives cmd's exit code, which is the tool's own when the tool
  // ran. A runner that cannot tell gives 0.
  virtual int RunCommandForExitCode(const std::wstring& command, std::string& output,
                                    unsigned long& exitCode) {
    exitCode = 0;
    return RunCommand(command, output);
  }
};

// The probes' side files beside the program.
class IFiles {
 public:
  virtual ~IFiles() = default;

  // Replaces the file `fileName` in the program's folder with `text`, bytes unchanged.
  // 1 when the file could be written, 0 otherwise.
  virtual int WriteTextFile(const std::string& text, const std::wstring& fileName) = 0;

  // Appends each line of the file (without its line end) to `lines`. 1 when at least one line
  // was read, 0 when the file cannot be opened or is empty.
  virtual int ReadTextLines(const std::wstring& path, std::vector<std::string>& lines) = 0;

  // The all-users application data folder, without a trailing backslash and not created when
  // missing. 0 on failure.
  virtual int GetCommonAppDataFolder(std::wstring& folder) = 0;

  // Deletes the file at `path` and writes it again with `text` in text mode (each "\n" as CR LF
  // on Windows). 1 when the file could be opened.
  virtual int ReplaceTextFileAt(const std::wstring& path, const std::string& text) = 0;

  // Whether something of that name exists (a file, a folder or a link).
  virtual bool FileExists(const std::wstring& path) = 0;
};

// What the system reports about itself without running a tool.
class ISystemInfo {
 public:
  virtual ~ISystemInfo() = default;

  // Major and minor version recorded for this process by the system. False when unknown.
  virtual bool OsVersion(unsigned& major, unsigned& minor) = 0;

  // A REG_SZ value of HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion, read in the 64-bit
  // view also from a 32-bit process. False when missing, of another type or too long.
  virtual bool ReadCurrentVersionValue(const std::wstring& name, std::wstring& value) = 0;

  // Total and available physical memory in bytes. False when the query fails.
  virtual bool MemoryStatus(std::uint64_t& totalBytes, std::uint64_t& availableBytes) = 0;

  // The system folder, e.g. "C:\Windows\system32". Empty when the query fails.
  virtual std::wstring SystemDirectory() = 0;

  // Total bytes and bytes free to the caller on the volume of `path`. False when the query fails.
  virtual bool DiskSpace(const std::wstring& path, std::uint64_t& totalBytes,
                         std::uint64_t& freeToCallerBytes) = 0;
};

// One network adapter as the system lists it.
struct AdapterName {
  std::wstring description;
  std::wstring friendlyName;  // the connection name netsh knows it by
};

// The system's IPv4 adapters.
class IAdapterNames {
 public:
  virtual ~IAdapterNames() = default;
  // Every adapter in the system's order. False when the list cannot be had.
  virtual bool ListAdapters(std::vector<AdapterName>& adapters) = 0;
};

// One HTTP request with a body, as the report upload sends it.
struct HttpUploadRequest {
  std::string url;
  bool post = true;  // POST, else PUT
  std::string body;  // bytes as sent
  std::vector<std::string> headers;
  bool verifyPeer = false;  // check the server's certificate and host name
};

// What became of an upload.
enum class HttpUploadStatus {
  kDone,      // an answer arrived; it is in `answer`, status line and headers first
  kFailed,    // the transfer failed (no connection, stalled, answer too large)
  kNoHandle,  // the transfer could not even be set up
};

// Sends HTTP requests; the libcurl implementation in the product, fakes in tests.
class IHttpUpload {
 public:
  virtual ~IHttpUpload() = default;
  virtual HttpUploadStatus Send(const HttpUploadRequest& request, std::string& answer) = 0;
};

// Where the library notes what went wrong behind a call's answer (a command that never started):
// the debugger's output on Windows, so a support technician can watch it; tests keep the lines.
class IDiagnosticLog {
 public:
  virtual ~IDiagnosticLog() = default;
  virtual void Note(const std::wstring& line) = 0;
};

// Pauses between repeated measurements; tests pass one that does not wait.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual void SleepMilliseconds(unsigned milliseconds) = 0;
};

class IDownloadTransport;
class ISpeedTestFiles;
class ITesterPrograms;

// Platform services the engine uses; owned by whoever builds the engine and outliving it.
struct Platform {
  ICommandRunner* commands = nullptr;
  ICodePage* codePage = nullptr;
  IFiles* files = nullptr;
  ISystemInfo* system = nullptr;
  IClock* clock = nullptr;
  IAdapterNames* adapters = nullptr;
  IHttpUpload* upload = nullptr;
  IDownloadTransport* download = nullptr;  // the speed test's HTTP transfers
  ISpeedTestFiles* speedFiles = nullptr;   // the speed test's payload file
  ITesterPrograms* testers = nullptr;      // the microphone and camera testers
  IDiagnosticLog* log = nullptr;           // optional
};

}  // namespace netprobe

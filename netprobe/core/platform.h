// The platform operations the portable core needs, each behind a small interface. The Win32
// implementations live in *_win32.cpp files; tests hand the engine fakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
};

// Code page conversions between the system's OEM and ANSI pages, UTF-16/32 and UTF-8.
class ICodePage {
 public:
  virtual ~ICodePage() = default;

  // The ANSI code page (936 on Chinese systems, 1252 on Western ones).
  virtual unsigned AnsiCodePage() const = 0;

  // Command output (OEM code page) to wide text.
  virtual std::wstring OemToWide(const std::string& text) const = 0;

  // Wide text to the ANSI code page; empty when it cannot be converted.
  virtual std::string WideToAnsi(const std::wstring& text) const = 0;

  // Wide text to GBK, whatever the system's code page.
  virtual std::string WideToAnsiChs(const std::wstring& text) const = 0;

  // ANSI code page text to UTF-8, for network bodies.
  virtual std::string AnsiToUtf8(const std::string& text) const = 0;
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

  // The all-users application data folder, without a trailing backslash. 0 on failure.
  virtual int GetCommonAppDataFolder(std::wstring& folder) = 0;

  // Whether something of that name exists (a file, a folder or a link).
  virtual bool FileExists(const std::wstring& path) = 0;
};

// One network adapter as the system's adapter table names it.
struct AdapterName {
  std::wstring description;   // e.g. "Realtek PCIe GbE Family Controller"
  std::wstring friendlyName;  // the connection's name, e.g. "Ethernet"
};

// The system's table of IPv4 network adapters.
class IAdapterTable {
 public:
  virtual ~IAdapterTable() = default;

  // The adapters in the table's order. False when the table cannot be read.
  virtual bool ListAdapters(std::vector<AdapterName>& adapters) = 0;
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

// Pauses between repeated measurements; tests pass one that does not wait.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual void SleepMilliseconds(unsigned milliseconds) = 0;
};

}  // namespace netprobe

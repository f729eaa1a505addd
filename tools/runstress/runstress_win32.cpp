// runstress: runs one command through NetProbe's command runner many times from several threads
// and prints a line for every call that did not go as it should (not started, output without
// the expected text, a read ended by something other than a broken pipe, a tool's failure), then
// a summary. With --churn, other threads meanwhile start processes of their own and open and
// close handles, as the rest of a busy program does.
//
//   runstress [--calls N] [--threads T] [--churn] [--expect TEXT] COMMAND...
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/win32_services.h"

namespace {

struct Options {
  int calls = 300;
  int threads = 4;
  bool churn = false;
  std::string expect = "TTL=";
  std::wstring command = L"ping www.baidu.com";
};

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());  // commands and switches are ASCII
}

bool ParseOptions(int count, wchar_t** arguments, Options& options) {
  std::wstring command;
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = arguments[i];
    const bool hasValue = i + 1 < count;
    if (argument == L"--calls" && hasValue) {
      options.calls = _wtoi(arguments[++i]);
    } else if (argument == L"--threads" && hasValue) {
      options.threads = _wtoi(arguments[++i]);
    } else if (argument == L"--expect" && hasValue) {
      options.expect = Narrow(arguments[++i]);
    } else if (argument == L"--churn") {
      options.churn = true;
    } else {
      command += (command.empty() ? L"" : L" ") + argument;
    }
  }
  if (!command.empty()) {
    options.command = command;
  }
  return options.calls > 0 && options.threads > 0;
}

struct Totals {
  std::mutex lock;
  int notStarted = 0;
  int shortOutput = 0;  // started, output without the expected text
  int oddRead = 0;      // the read ended by something other than a broken pipe
  int toolFailed = 0;   // a non-zero exit code
  std::vector<unsigned long> startErrors;
};

void Report(int call, const netprobe::win32::CommandTrace& trace, const std::string& output,
            const Options& options, Totals& totals) {
  const bool missing = trace.started && output.find(options.expect) == std::string::npos;
  const bool oddRead = trace.started && trace.readError != ERROR_BROKEN_PIPE;
  const bool failed = trace.started && trace.exitCode != 0;
  const std::lock_guard<std::mutex> hold(totals.lock);
  if (!trace.started) {
    ++totals.notStarted;
    totals.startErrors.push_back(trace.startError);
  }
  totals.shortOutput += missing ? 1 : 0;
  totals.oddRead += oddRead ? 1 : 0;
  totals.toolFailed += failed ? 1 : 0;
  if (!trace.started || missing || oddRead || failed) {
    std::printf(
        "call %d: started=%d startError=%lu readError=%lu bytes=%zu wait=%lu exit=%lu "
        "output=[%s]\n",
        call, trace.started ? 1 : 0, trace.startError, trace.readError, trace.bytesRead,
        trace.waitResult, trace.exitCode, output.substr(0, 160).c_str());
    std::fflush(stdout);
  }
}

// What else a busy program does meanwhile: short processes of its own and handles opened and
// closed, none of them inherited on purpose.
void Churn(const std::atomic<bool>& stop) {
  while (!stop.load()) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::string ignored;
    netprobe::win32::RunCommand(L"rem", ignored);
    if (event != nullptr) {
      CloseHandle(event);
    }
  }
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  Options options;
  if (!ParseOptions(count, arguments, options)) {
    std::fprintf(stderr,
                 "usage: runstress [--calls N] [--threads T] [--churn] [--expect TEXT] "
                 "COMMAND...\n");
    return 2;
  }
  STARTUPINFOW own{};
  own.cb = sizeof(own);
  GetStartupInfoW(&own);
  std::printf("startup: flags=0x%lx stdin=%p type=%lu reserved2=%u\n", own.dwFlags, own.hStdInput,
              GetFileType(own.hStdInput), own.cbReserved2);

  Totals totals;
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> churners;
  if (options.churn) {
    for (int i = 0; i < 2; ++i) {
      churners.emplace_back(Churn, std::cref(stop));
    }
  }
  const ULONGLONG begin = GetTickCount64();
  std::vector<std::thread> workers;
  for (int t = 0; t < options.threads; ++t) {
    workers.emplace_back([&] {
      for (int call = next++; call < options.calls; call = next++) {
        std::string output;
        netprobe::win32::CommandTrace trace;
        netprobe::win32::RunCommandTraced(options.command, output, trace);
        Report(call, trace, output, options, totals);
      }
    });
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  stop.store(true);
  for (std::thread& churner : churners) {
    churner.join();
  }
  std::printf(
      "%d calls of \"%s\" on %d threads%s in %llu ms: %d not started, %d without \"%s\", "
      "%d reads ended otherwise, %d tool failures\n",
      options.calls, Narrow(options.command).c_str(), options.threads,
      options.churn ? " with churn" : "", GetTickCount64() - begin, totals.notStarted,
      totals.shortOutput, options.expect.c_str(), totals.oddRead, totals.toolFailed);
  for (unsigned long error : totals.startErrors) {
    std::printf("start error %lu\n", error);
  }
  return totals.notStarted + totals.shortOutput + totals.oddRead + totals.toolFailed == 0 ? 0 : 1;
}

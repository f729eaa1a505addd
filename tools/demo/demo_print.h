// What the driver's parts share: the text conversions for the terminal and the printing of a
// call's result and of the system probes' records.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "kestrel/utf8.h"

using kestrel::WideToUtf8;

// A text in the ANSI code page as UTF-8, for the terminal.
std::string AnsiToUtf8(const std::string& text);

// The error's code and its message (code page 936, as the libraries write it).
void PrintError(const ProbeError& error);
void PrintText(const char* field, const std::string& value);
void PrintNumber(const char* field, long long value);
void PrintScored(const char* field, long long value, int score);

// Runs one export and prints its result line (and its error, when one was written).
template <typename Call>
int Step(const char* name, Call call) {
  ProbeError error;
  const int result = call(&error);
  std::printf("%s -> %d\n", name, result);
  if (error.code != 0) {
    PrintError(error);
  }
  return result;
}

void Print(const HostInfo& host);
void Print(const SystemInfo& system);
void Print(const CpuInfo& cpu);
void Print(const MemoryInfo& memory);
void Print(const DiskInfo& disk);
void Print(const std::vector<NetworkCardSummary>& cards);

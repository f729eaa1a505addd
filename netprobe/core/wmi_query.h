// The system's WMI classes, read through wmic where it exists and through PowerShell's CIM
// cmdlets where it does not (newer Windows 11 releases). Each probe keeps both command lines of
// a query as constants; the PowerShell line prints the text form of the wmic line, so the
// parsers, the records and the failure codes do not change.
#pragma once

#include <string>

#include "core/platform.h"

// A PowerShell command line, hidden from profiles and execution prompts. The script stands in
// double quotes on cmd's command line: it never holds a double quote, "%" or "!", which cmd
// would end or expand there.
#define KESTREL_CIM_COMMAND(script) \
  L"powershell -NoProfile -NonInteractive -Command \"" script L"\""

// Prints a "wmic ... list full" listing of the class: a blank line, then "Key=value" a line for
// each instance, the keys in the order given (wmic's, alphabetical). Control characters become
// blanks, so no value ends its line early or starts a key of its own; arrays print as
// {"a","b"} (a double quote in an element becomes a blank), booleans as TRUE and FALSE.
#define KESTREL_CIM_LISTING(cimClass, keys) \
  KESTREL_CIM_COMMAND(                                                                            \
      L"$q = [char]34; Get-CimInstance " cimClass L" | ForEach-Object { $o = $_; ''; foreach ($k " \
      L"in " keys L") { $v = $o.$k; if ($v -is [array]) { $v = '{' + (($v | ForEach-Object { $q " \
      L"+ ([string]$_ -replace '[\\x00-\\x1f\\x22]', ' ') + $q }) -join ',') + '}' } elseif ($v " \
      L"-is [bool]) { $v = ('FALSE', 'TRUE')[[int]$v] } else { $v = [string]$v -replace "        \
      L"'[\\x00-\\x1f]', ' ' }; $k + '=' + $v } }")

// Prints what "WMIC <class> Get <property>" prints: the property's name as the header line,
// then its value a line for each instance.
#define KESTREL_CIM_COLUMN(cimClass, property) \
  KESTREL_CIM_COMMAND(L"'" property L"'; Get-CimInstance " cimClass L" | ForEach-Object { "     \
                      L"[string]$_." property L" -replace '[\\x00-\\x1f]', ' ' }")

namespace netprobe {

// One query: the wmic line the system has always run and its PowerShell stand-in.
struct WmiQuery {
  const wchar_t* wmic;
  const wchar_t* cim;
};

// Decides once whether wmic exists: it does until a wmic line is answered by cmd's complaint
// that no such command exists. From then on only the PowerShell lines run.
class WmiCommands {
 public:
  // As ICommandRunner::RunCommand: 1 when the command that answered started, else 0.
  int Run(ICommandRunner& commands, const WmiQuery& query, std::string& output);

  bool wmicMissing() const { return wmicMissing_; }

 private:
  bool wmicMissing_ = false;
};

// What a probe asks WMI through: the command runner with the engine's decision about wmic.
class WmiRunner {
 public:
  WmiRunner(ICommandRunner& commands, WmiCommands& state) : commands_(commands), state_(state) {}

  int Run(const WmiQuery& query, std::string& output) {
    return state_.Run(commands_, query, output);
  }

 private:
  ICommandRunner& commands_;
  WmiCommands& state_;
};

}  // namespace netprobe

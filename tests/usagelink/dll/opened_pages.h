// What the shell opened: Wine hands web addresses to the stand-in xdg-open first on PATH
// (tests/usagelink/standin), which appends each to the file $KESTREL_OPENED_LOG names. The
// browser launcher runs apart from the caller, so an address arrives some time after the call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace usagelink::test {

class OpenedPages {
 public:
  // Starts from an empty record, with the stand-ins as the prefix's only browser and mailer.
  OpenedPages();

  // The addresses recorded so far, once there are `count` of them or after 30 s.
  std::vector<std::string> WaitFor(std::size_t count) const;

  // Whether the record file could be named at all (KESTREL_OPENED_LOG set).
  bool usable() const { return !path_.empty(); }

 private:
  std::vector<std::string> Read() const;
  std::wstring path_;
};

}  // namespace usagelink::test

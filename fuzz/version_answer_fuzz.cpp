// UsageLink's reader of the version server's answer on arbitrary bytes: a result of 0 unless the
// answer holds a JSON object with an integer "code", an address kept only with the result 202,
// and nothing made up beyond what the answer holds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "kestrel/codepage.h"
#include "version/version_answer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto pages = kestrel::MakeIconvCodePage(936, 936);
  const std::string answer = fuzz::Text(data, size);  // exact size: ASan sees a read past it
  const usagelink::VersionAnswer read = usagelink::ReadVersionAnswer(answer, *pages);
  if (read.code != 0) {
    FUZZ_CHECK(answer.find('{') != std::string::npos);
    FUZZ_CHECK(answer.find("code") != std::string::npos);
    // A JSON integer: its digits, leading zeros aside, stand in the answer.
    FUZZ_CHECK(fuzz::IsCutFrom(answer, std::to_string(std::llabs(read.code))));
  }
  FUZZ_CHECK(!read.hasAddress || read.code == usagelink::kNewerVersion);
  FUZZ_CHECK(read.hasAddress || read.address.empty());
  // UTF-8 in, GBK out: no character grows, and an escape is longer than what it stands for.
  FUZZ_CHECK(read.address.size() <= answer.size());

  const usagelink::VersionAnswer again = usagelink::ReadVersionAnswer(answer, *pages);
  FUZZ_CHECK(again.code == read.code && again.hasAddress == read.hasAddress &&
             again.address == read.address);
  return 0;
}

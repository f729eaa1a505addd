// The report server's answer reader: any bytes give one of its four results with that result's
// message, and a stored report number never holds more than 255 characters.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "kestrel/codepage.h"
#include "network/report/post_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto pages = kestrel::MakeIconvCodePage(936, 936);
  // An exact-size copy: AddressSanitizer sees any read past the answer's end.
  const std::string answer = fuzz::Text(data, size);
  std::string message;
  std::wstring number = L"before";
  const int result = netprobe::ParseReportAnswer(answer, *pages, message, number);
  FUZZ_CHECK(result >= netprobe::kUploadAnswerUnreadable && result <= netprobe::kUploadUnknownCode);
  FUZZ_CHECK(message == netprobe::kPostMessages[result]);
  FUZZ_CHECK(number.size() <= netprobe::kLongestReportNumber);
  FUZZ_CHECK(result == netprobe::kUploadAdded || number == L"before");
  return 0;
}

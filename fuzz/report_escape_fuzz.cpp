// The report document's text values: whatever bytes a record holds, the escaped value is valid
// JSON once converted to UTF-8, and decodes to the record's text (a lead byte left without its
// trail byte, or a pair the page cannot convert, stands as "?"). The first byte picks the code
// page: GBK or Western.
#include <json/json.h>

#include <cstdint>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "kestrel/codepage.h"
#include "network/report/json_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto gbk = kestrel::MakeIconvCodePage(936, 936);
  static const auto western = kestrel::MakeIconvCodePage(1252, 437);
  if (size == 0) {
    return 0;
  }
  const unsigned codePage = (data[0] & 1) != 0 ? 936 : 1252;
  const kestrel::ICodePage& pages = codePage == 936 ? *gbk : *western;
  const std::string text = fuzz::Text(data + 1, size - 1);

  // The text as it can be shown: each character the page converts kept, a lone lead byte or a
  // pair the page has no character for as "?".
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (netprobe::IsLeadByte(codePage, c)) {
      if (i + 1 < text.size() &&
          netprobe::IsTrailByte(codePage, static_cast<unsigned char>(text[i + 1]))) {
        const std::string pair = text.substr(i++, 2);
        shown += pages.WideToAnsi(pages.AnsiToWide(pair)) == pair ? pair : "?";
      } else {
        shown += '?';
      }
    } else {
      shown += text[i];
    }
  }

  std::string value;
  netprobe::AppendJsonString(value, text, pages);
  const std::string document = pages.AnsiToUtf8("{\"v\":" + value + "}");

  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  builder["strictRoot"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  FUZZ_CHECK(reader->parse(document.data(), document.data() + document.size(), &root, &errors));
  FUZZ_CHECK(root["v"].isString());
  FUZZ_CHECK(root["v"].asString() == pages.AnsiToUtf8(shown));
  return 0;
}

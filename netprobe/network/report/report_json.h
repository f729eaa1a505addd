// The detection report: every record the engine keeps, as one JSON document in the system's ANSI
// code page (converted to UTF-8 when it is sent).
#pragma once

#include <string>

#include "core/platform.h"
#include "core/probe_records.h"

namespace netprobe {

// The document, member by member in the server's fixed order, without whitespace, its text in
// the ANSI code page of `pages`. Reads the records only; probes that never ran contribute empty
// texts, zeros and empty arrays.
std::string BuildReportJson(const ProbeRecords& records, const ICodePage& pages);

// The adapter type of a card summary as the report writes it (quotes included): the Chinese
// words in the ANSI code page on a Chinese system; elsewhere the page cannot hold them, so the
// same words as JSON escapes.
const char* CardTypeJson(int isWired, unsigned codePage);

}  // namespace netprobe

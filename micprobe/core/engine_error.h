// The text of the engine's most recent internal failure, kept for the whole process. The wave
// threads and the exports' threads both write it, so it is guarded; nothing clears it.
#pragma once

#include <string>

namespace micprobe {

void RecordEngineError(const char* text);
std::string EngineErrorText();

}  // namespace micprobe

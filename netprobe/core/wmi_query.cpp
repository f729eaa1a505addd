#include "core/wmi_query.h"

#include <cstddef>
#include <string_view>

#include "kestrel/wmic.h"

namespace netprobe {

int WmiCommands::Run(ICommandRunner& commands, const WmiQuery& query, std::string& output) {
  // The runner appends to the output; cmd's complaint is taken back out of it.
  const std::size_t kept = output.size();
  if (!wmicMissing_) {
    const int started = commands.RunCommand(query.wmic, output);
    if (started != 1 ||
        !kestrel::IsMissingWmicComplaint(std::string_view(output).substr(kept))) {
      return started;
    }
    wmicMissing_ = true;
    output.resize(kept);
  }
  return commands.RunCommand(query.cim, output);
}

}  // namespace netprobe

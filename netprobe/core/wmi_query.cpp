#include "core/wmi_query.h"

#include "kestrel/wmic.h"

namespace netprobe {

int WmiCommands::Run(ICommandRunner& commands, const WmiQuery& query, std::string& output) {
  if (!wmicMissing_) {
    const int started = commands.RunCommand(query.wmic, output);
    if (started != 1 || !kestrel::IsMissingWmicComplaint(output)) {
      return started;
    }
    wmicMissing_ = true;
  }
  output.clear();
  return commands.RunCommand(query.cim, output);
}

}  // namespace netprobe

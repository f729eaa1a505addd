// What kestrel-server prints once it listens.
#pragma once

#include <string>

#include "core/options.h"

namespace kestrel::server {

// The lines the server prints once it listens: where, which store, which limits.
std::string StartupText(const ServerOptions& o, int httpPort, int httpsPort);

}  // namespace kestrel::server

#include "startup_text.h"

#include "store/database.h"

namespace kestrel::server {

std::string StartupText(const ServerOptions& o, int httpPort, int httpsPort) {
  const ConnectionLimits& l = o.limits;
  std::string text =
      "kestrel-server: listening on http://" + o.host + ":" + std::to_string(httpPort) + "/";
  if (httpsPort > 0) {
    text += " and https://" + o.host + ":" + std::to_string(httpsPort) + "/";
  }
  text += o.testControl ? " (test control on)\n" : "\n";
  const std::string store = DatabasePath(o.dbFile, o.dataDir);
  text += "kestrel-server: store " +
          (store == ":memory:"       ? std::string("in memory (nothing is kept)")
           : IsPostgresTarget(store) ? "PostgreSQL " + PrintableTarget(store) + " (at most " +
                                           std::to_string(o.dbConnections) + " connections)"
                                     : PrintableTarget(store)) +
          "\n";
  text += "kestrel-server: limits: headers within " + std::to_string(l.headerSeconds) +
          " s, idle " + std::to_string(l.idleSeconds) + " s, TLS handshake " +
          std::to_string(l.handshakeSeconds) + " s, body at least " +
          std::to_string(l.bodyMinRate) + " B/s and at most " + std::to_string(o.maxBodyBytes) +
          " B, answers stalled at most " + std::to_string(l.writeSeconds) + " s\n";
  text += "kestrel-server: limits: " + std::to_string(l.maxPerAddress) +
          " connections per address, " + std::to_string(l.maxConnections) + " in all, backlog " +
          std::to_string(l.backlog) + ", " + std::to_string(o.threads) + " workers a port\n";
  return text;
}

}  // namespace kestrel::server

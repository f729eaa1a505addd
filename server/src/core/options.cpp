#include "core/options.h"

#include <charconv>
#include <limits>

#include "core/versions.h"

namespace kestrel::server {
namespace {

bool ParseInt(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& out) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
    return false;
  }
  out = value;
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: kestrel-server [--host ADDR] [--http-port N] [--https-port N --cert F --key F]\n"
         "                      [--data DIR] [--db FILE] [--rate BYTES_PER_SECOND] "
         "[--payload-bytes N]\n"
         "                      [--current-version V] [--download-url URL]\n"
         "                      [--stall-seconds N] [--max-body-bytes N] [--threads N]\n"
         "                      [--test-control] [--ready-file F] [--db-connections N]\n"
         "       kestrel-server [--data DIR | --db ...] --add-admin NAME   (password on stdin)\n"
         "  limits: [--header-seconds N] [--idle-seconds N] [--handshake-seconds N]\n"
         "          [--write-seconds N] [--body-min-rate BYTES_PER_SECOND]\n"
         "          [--max-connections N] [--max-per-address N] [--backlog N]\n";
}

OptionsResult ParseOptions(const std::vector<std::string>& args) {
  OptionsResult result;
  ServerOptions& o = result.options;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--help" || name == "-h") {
      result.help = true;
      result.ok = true;
      return result;
    }
    if (name == "--test-control") {
      o.testControl = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      result.error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown option " + name;
      return result;
    }
    const std::string& value = args[++i];
    std::int64_t n = 0;
    auto number = [&](std::int64_t low, std::int64_t high) {
      if (ParseInt(value, low, high, n)) {
        return true;
      }
      result.error = "bad value for " + name + ": " + value;
      return false;
    };
    if (name == "--host") {
      o.host = value;
    } else if (name == "--http-port") {
      if (!number(0, 65535))
        return result;
      o.httpPort = static_cast<int>(n);
    } else if (name == "--https-port") {
      if (!number(0, 65535))
        return result;
      o.httpsPort = static_cast<int>(n);
    } else if (name == "--cert") {
      o.certFile = value;
    } else if (name == "--key") {
      o.keyFile = value;
    } else if (name == "--data") {
      o.dataDir = value;
    } else if (name == "--db") {
      o.dbFile = value;
    } else if (name == "--db-connections") {
      if (!number(1, 1000))
        return result;
      o.dbConnections = static_cast<int>(n);
    } else if (name == "--add-admin") {
      o.addAdmin = value;
    } else if (name == "--rate") {
      if (!number(0, kMax))
        return result;
      o.rate = n;
    } else if (name == "--payload-bytes") {
      if (!number(1, kMax))
        return result;
      o.payloadBytes = n;
    } else if (name == "--ready-file") {
      o.readyFile = value;
    } else if (name == "--current-version") {
      if (!CompareVersions(value, "0")) {
        result.error =
            "bad value for " + name + ": " + value + " (dotted numbers, like 2.1.20.928)";
        return result;
      }
      o.currentVersion = value;
    } else if (name == "--download-url") {
      o.downloadUrl = value;
    } else if (name == "--stall-seconds") {
      if (!number(0, 3600))
        return result;
      o.stallSeconds = static_cast<int>(n);
    } else if (name == "--max-body-bytes") {
      if (!number(1024, 64LL * 1024 * 1024))
        return result;
      o.maxBodyBytes = static_cast<std::size_t>(n);
    } else if (name == "--threads") {
      if (!number(2, 512))
        return result;
      o.threads = static_cast<int>(n);
    } else if (name == "--header-seconds") {
      if (!number(1, 300))
        return result;
      o.limits.headerSeconds = static_cast<int>(n);
    } else if (name == "--idle-seconds") {
      if (!number(1, 3600))
        return result;
      o.limits.idleSeconds = static_cast<int>(n);
    } else if (name == "--handshake-seconds") {
      if (!number(1, 300))
        return result;
      o.limits.handshakeSeconds = static_cast<int>(n);
    } else if (name == "--write-seconds") {
      if (!number(1, 3600))
        return result;
      o.limits.writeSeconds = static_cast<int>(n);
    } else if (name == "--body-min-rate") {
      if (!number(1, 1LL << 30))
        return result;
      o.limits.bodyMinRate = n;
    } else if (name == "--max-connections") {
      if (!number(1, 1000000))
        return result;
      o.limits.maxConnections = static_cast<std::size_t>(n);
    } else if (name == "--max-per-address") {
      if (!number(1, 1000000))
        return result;
      o.limits.maxPerAddress = static_cast<std::size_t>(n);
    } else if (name == "--backlog") {
      if (!number(8, 65535))
        return result;
      o.limits.backlog = static_cast<int>(n);
    } else {
      result.error = "unknown option " + name;
      return result;
    }
  }
  if (o.httpsPort >= 0 && (o.certFile.empty() || o.keyFile.empty())) {
    result.error = "--https-port needs --cert and --key";
    return result;
  }
  if (o.host.empty()) {
    result.error = "--host needs an address";
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace kestrel::server

// The TLS settings of the secure port: TLS 1.2 or later with the given certificate and key.
#pragma once

#include <openssl/ssl.h>

#include <memory>
#include <string>

namespace kestrel::server {

struct TlsContextFree {
  void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
using TlsContext = std::unique_ptr<SSL_CTX, TlsContextFree>;

// Null when the certificate or the key cannot be loaded or do not match.
TlsContext MakeTlsContext(const std::string& certFile, const std::string& keyFile);

}  // namespace kestrel::server

#include "tls_context.h"

namespace kestrel::server {

TlsContext MakeTlsContext(const std::string& certFile, const std::string& keyFile) {
  TlsContext ctx(SSL_CTX_new(TLS_server_method()));
  if (!ctx) {
    return nullptr;
  }
  SSL_CTX_set_min_proto_version(ctx.get(), TLS1_2_VERSION);
  SSL_CTX_set_options(ctx.get(), SSL_OP_NO_COMPRESSION | SSL_OP_NO_RENEGOTIATION);
  // Writes go out in pieces on a non-blocking socket, retried from wherever the answer is.
  SSL_CTX_set_mode(ctx.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (SSL_CTX_use_certificate_chain_file(ctx.get(), certFile.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(ctx.get(), keyFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_check_private_key(ctx.get()) != 1) {
    return nullptr;
  }
  return ctx;
}

}  // namespace kestrel::server

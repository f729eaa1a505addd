#include "security_headers.h"

namespace kestrel::server {

httplib::Headers SecurityHeaders(bool secure) {
  httplib::Headers headers = {
      {"Content-Security-Policy",
       "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
       "connect-src 'self'; form-action 'self'; base-uri 'none'; frame-ancestors 'none'"},
      {"X-Content-Type-Options", "nosniff"},
      {"X-Frame-Options", "DENY"},
      {"Referrer-Policy", "no-referrer"},
  };
  if (secure) {
    headers.emplace("Strict-Transport-Security", "max-age=31536000");
  }
  return headers;
}

}  // namespace kestrel::server

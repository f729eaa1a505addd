// The headers every answer carries so that a browser protects whoever reads our pages: only
// our own scripts and styles run, nothing is sniffed into another type, no page is framed, no
// address leaks to other sites, and on the secure port the browser keeps to HTTPS.
#pragma once

#include <httplib.h>

namespace kestrel::server {

httplib::Headers SecurityHeaders(bool secure);

}  // namespace kestrel::server

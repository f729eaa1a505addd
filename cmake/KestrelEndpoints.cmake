# Hosts the product talks to are compile-time settings, gathered in one generated header.
# A deployment passes its own with -D at configure time.

# The network presence check pings these in order: a search portal, a news portal, the maker's
# site, the education and research network, and three carriers.
set(KESTREL_PRESENCE_HOST_1 "www.baidu.com" CACHE STRING "Presence check: search portal")
set(KESTREL_PRESENCE_HOST_2 "www.sina.com.cn" CACHE STRING "Presence check: news portal")
set(KESTREL_PRESENCE_HOST_3 "www.lessora.cn" CACHE STRING "Presence check: maker's site")
set(KESTREL_PRESENCE_HOST_4 "www.edu.cn" CACHE STRING "Presence check: education network")
set(KESTREL_PRESENCE_HOST_5 "www.chinatelecom.com.cn" CACHE STRING "Presence check: carrier 1")
set(KESTREL_PRESENCE_HOST_6 "www.10086.cn" CACHE STRING "Presence check: carrier 2")
set(KESTREL_PRESENCE_HOST_7 "www.chinaunicom.com.cn" CACHE STRING "Presence check: carrier 3")

# Our own server answers every other endpoint. By default it runs on loopback at these ports,
# so a plain build runs end to end on one machine (the tests start it there).
set(KESTREL_SERVER_HTTP_PORT "18080" CACHE STRING "Local server: plain HTTP port")
set(KESTREL_SERVER_HTTPS_PORT "18443" CACHE STRING "Local server: HTTPS port")
set(KESTREL_REPORT_HOST "127.0.0.1:${KESTREL_SERVER_HTTPS_PORT}" CACHE STRING
    "Report server (https): host[:port]")
# Certificate checks of the report server: AUTO checks them for every host except a literal
# loopback address (the local server's certificate is a test's own); ON and OFF force them.
set(KESTREL_REPORT_TLS_VERIFY "AUTO" CACHE STRING
    "Report server certificate checks: AUTO (off only for a loopback host), ON or OFF")
set_property(CACHE KESTREL_REPORT_TLS_VERIFY PROPERTY STRINGS AUTO ON OFF)
if(NOT KESTREL_REPORT_TLS_VERIFY MATCHES "^(AUTO|ON|OFF)$")
  message(FATAL_ERROR "KESTREL_REPORT_TLS_VERIFY must be AUTO, ON or OFF, not "
                      "'${KESTREL_REPORT_TLS_VERIFY}'")
endif()
set(KESTREL_STATS_HOST "127.0.0.1:${KESTREL_SERVER_HTTP_PORT}" CACHE STRING
    "Statistics and version server (http): host[:port]")
set(KESTREL_HELP_HOST "127.0.0.1:${KESTREL_SERVER_HTTP_PORT}" CACHE STRING
    "Help-article server (http): host[:port]")
set(KESTREL_SPEEDTEST_HOST "127.0.0.1:${KESTREL_SERVER_HTTP_PORT}" CACHE STRING
    "Speed-test download server (http): host[:port]")
set(KESTREL_SPEEDTEST_FILE "speedtest.bin" CACHE STRING "Speed-test payload file name")

set(KESTREL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrel_endpoints.h.in
               ${KESTREL_GENERATED_DIR}/kestrel_endpoints.h @ONLY)

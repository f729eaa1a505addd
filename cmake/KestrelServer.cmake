# The ctest fixture `kestrel_server`: our server started in the background on this build's
# KESTREL_SERVER_HTTP_PORT and KESTREL_SERVER_HTTPS_PORT, with test control on, and stopped at
# the end. A test that needs it sets FIXTURES_REQUIRED kestrel_server; one that switches a test
# mode also sets RESOURCE_LOCK kestrel_server and resets the modes when done.
#
# The server is a native Linux program: Windows builds use the native build's (scripts/test
# builds native first).
if(WIN32)
  set(kestrel_server_default ${CMAKE_SOURCE_DIR}/build/native/bin/kestrel-server)
else()
  set(kestrel_server_default ${CMAKE_BINARY_DIR}/bin/kestrel-server)
endif()
set(KESTREL_SERVER_BINARY "${kestrel_server_default}" CACHE FILEPATH
    "kestrel-server that the tests start")
# Where the fixture's server keeps its certificate, database and log.
set(KESTREL_SERVER_DIR ${CMAKE_BINARY_DIR}/server)

# Adds the fixture's setup and cleanup tests once, however often it is called.
function(kestrel_server_fixture)
  get_property(added GLOBAL PROPERTY KESTREL_SERVER_FIXTURE_ADDED)
  if(added)
    return()
  endif()
  set_property(GLOBAL PROPERTY KESTREL_SERVER_FIXTURE_ADDED TRUE)
  set(ctl ${CMAKE_SOURCE_DIR}/scripts/server-ctl)
  add_test(NAME kestrel_server_start
           COMMAND ${ctl} start ${KESTREL_SERVER_DIR} --http-port ${KESTREL_SERVER_HTTP_PORT}
                   --https-port ${KESTREL_SERVER_HTTPS_PORT})
  set_tests_properties(kestrel_server_start PROPERTIES
                       FIXTURES_SETUP kestrel_server TIMEOUT 30
                       ENVIRONMENT "KESTREL_SERVER=${KESTREL_SERVER_BINARY}")
  add_test(NAME kestrel_server_stop COMMAND ${ctl} stop ${KESTREL_SERVER_DIR})
  set_tests_properties(kestrel_server_stop PROPERTIES FIXTURES_CLEANUP kestrel_server TIMEOUT 30)
endfunction()

# The ctest fixture `kestrel_pulse`: a private PulseAudio daemon (scripts/pulse-ctl) with a
# virtual speaker and a tone-fed virtual microphone, started before the audio tests that need
# sound and stopped by its pid afterwards. Such a test sets FIXTURES_REQUIRED kestrel_pulse,
# RESOURCE_LOCK kestrel_pulse (they share the speaker) and the environment in
# KESTREL_PULSE_ENVIRONMENT. Tests of the no-device paths take KESTREL_NO_SOUND_ENVIRONMENT,
# which names a server that never exists.
set(KESTREL_PULSE_DIR ${CMAKE_BINARY_DIR}/pulse)
set(KESTREL_PULSE_ENVIRONMENT
    "PULSE_SERVER=unix:${KESTREL_PULSE_DIR}/xdg/pulse/native;KESTREL_PULSE_DIR=Z:${KESTREL_PULSE_DIR}")
set(KESTREL_NO_SOUND_ENVIRONMENT "PULSE_SERVER=unix:${CMAKE_BINARY_DIR}/no-sound/native")

# Adds the fixture's setup and cleanup tests once, however often it is called.
function(kestrel_pulse_fixture)
  get_property(added GLOBAL PROPERTY KESTREL_PULSE_FIXTURE_ADDED)
  if(added)
    return()
  endif()
  set_property(GLOBAL PROPERTY KESTREL_PULSE_FIXTURE_ADDED TRUE)
  set(ctl ${CMAKE_SOURCE_DIR}/scripts/pulse-ctl)
  add_test(NAME kestrel_pulse_start COMMAND ${ctl} start ${KESTREL_PULSE_DIR})
  # The limits only catch a hang: the script's own waits end within about 45 s.
  set_tests_properties(kestrel_pulse_start PROPERTIES FIXTURES_SETUP kestrel_pulse TIMEOUT 90
                                                      RESOURCE_LOCK kestrel_pulse)
  add_test(NAME kestrel_pulse_stop COMMAND ${ctl} stop ${KESTREL_PULSE_DIR})
  set_tests_properties(kestrel_pulse_stop PROPERTIES FIXTURES_CLEANUP kestrel_pulse TIMEOUT 90
                                                     RESOURCE_LOCK kestrel_pulse)
endfunction()

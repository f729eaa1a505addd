# The release of a Windows build: the target `dist` runs scripts/package, which strips, signs and
# packs the product into the installer, the portable zip and SHA256SUMS (win32 into dist/, the
# win64 twin into dist/win64/). The signing certificate and key come from the configure step;
# without them scripts/package makes a test certificate in this build folder once.
if(NOT WIN32)
  return()
endif()

set(KESTREL_SIGN_CERT "" CACHE FILEPATH "Authenticode certificate (PEM) for the release; empty: a test certificate")
set(KESTREL_SIGN_KEY "" CACHE FILEPATH "Private key (PEM) of KESTREL_SIGN_CERT")
set(KESTREL_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 timestamp server; empty: a fixed signing time, no timestamp")

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(package_arch x64)
  set(package_out ${CMAKE_SOURCE_DIR}/dist/win64)
else()
  set(package_arch x86)
  set(package_out ${CMAKE_SOURCE_DIR}/dist)
endif()
get_filename_component(package_tools ${CMAKE_CXX_COMPILER} DIRECTORY)

# What scripts/package reads about this build: one place for the names and the version.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/package/package.env @ONLY CONTENT [=[
KESTREL_PRODUCT_NAME='@KESTREL_PRODUCT_NAME@'
KESTREL_PRODUCT_VERSION='@KESTREL_PRODUCT_VERSION@'
KESTREL_PUBLISHER='@KESTREL_PUBLISHER@'
KESTREL_PRODUCT_URL='@KESTREL_PRODUCT_URL@'
KESTREL_ARCH='@package_arch@'
KESTREL_OBJDUMP='@package_tools@/@KESTREL_TRIPLE@-objdump'
KESTREL_OBJCOPY='@package_tools@/@KESTREL_TRIPLE@-objcopy'
KESTREL_ICON='@CMAKE_BINARY_DIR@/kestrelrun/program/icon/KestrelRun.ico'
KESTREL_LICENCE='@CMAKE_SOURCE_DIR@/kestrelrun/res/rtf/agreement.rtf'
KESTREL_SIGN_CERT='@KESTREL_SIGN_CERT@'
KESTREL_SIGN_KEY='@KESTREL_SIGN_KEY@'
KESTREL_SIGN_TIMESTAMP_URL='@KESTREL_SIGN_TIMESTAMP_URL@'
]=])

add_custom_target(dist
                  COMMAND ${CMAKE_SOURCE_DIR}/scripts/package --build ${CMAKE_BINARY_DIR}
                          --out ${package_out}
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} USES_TERMINAL VERBATIM)
add_dependencies(dist KestrelRun NetProbe MicProbe UsageLink CamProbe tester_mic tester_cam)

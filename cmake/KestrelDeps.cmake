# Third-party libraries: Debian's -dev packages natively, the bootstrap cache for mingw.
# Each is offered as a kestrel:: target so the code never cares which build it is in.

find_package(CURL REQUIRED)
find_package(jsoncpp CONFIG REQUIRED)
find_package(pugixml CONFIG REQUIRED)
find_package(GTest CONFIG REQUIRED)

add_library(kestrel_curl INTERFACE)
add_library(kestrel::curl ALIAS kestrel_curl)
target_link_libraries(kestrel_curl INTERFACE CURL::libcurl)
if(WIN32)
  target_compile_definitions(kestrel_curl INTERFACE CURL_STATICLIB)
  target_link_libraries(kestrel_curl INTERFACE ws2_32 crypt32 bcrypt secur32 wldap32 normaliz)
endif()

add_library(kestrel_jsoncpp INTERFACE)
add_library(kestrel::jsoncpp ALIAS kestrel_jsoncpp)
if(TARGET jsoncpp_static)
  target_link_libraries(kestrel_jsoncpp INTERFACE jsoncpp_static)
else()
  target_link_libraries(kestrel_jsoncpp INTERFACE jsoncpp_lib)
endif()

add_library(kestrel_pugixml INTERFACE)
add_library(kestrel::pugixml ALIAS kestrel_pugixml)
if(TARGET pugixml::pugixml)
  target_link_libraries(kestrel_pugixml INTERFACE pugixml::pugixml)
else()
  target_link_libraries(kestrel_pugixml INTERFACE pugixml)
endif()

# Anti-Grain Geometry, the toolkit's anti-aliasing rasteriser: only its template headers are used.
find_path(KESTREL_AGG_INCLUDE_DIR agg_rasterizer_scanline_aa.h PATH_SUFFIXES agg2 REQUIRED)
add_library(kestrel_agg INTERFACE)
add_library(kestrel::agg ALIAS kestrel_agg)
target_include_directories(kestrel_agg SYSTEM INTERFACE ${KESTREL_AGG_INCLUDE_DIR})

include(GoogleTest)

if(WIN32)
  # All modules share one C++ runtime and one heap: libstdc++ and libgcc are linked as DLLs,
  # which are copied beside the binaries.
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
      file(COPY "${path}" DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    endif()
  endforeach()

  # Tests of cross-compiled binaries run under wine64 through a wrapper that keeps wine's
  # helper processes away from ctest's pipes.
  set(KESTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)
endif()

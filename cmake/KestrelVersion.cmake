# The version resource every binary of the product carries: file and product version
# 2.1.20.928, product name "Lessora". Windows builds only; the strings stay ASCII, as windres
# reads the script in the build machine's code page.
set(KESTREL_PRODUCT_VERSION "2.1.20.928")
set(KESTREL_PRODUCT_NAME "Lessora")
# The publisher the installer names in Add/Remove Programs, and the maker's site.
set(KESTREL_PUBLISHER "Lessora")
set(KESTREL_PRODUCT_URL "https://www.lessora.cn/")

# kestrel_version_resource(TARGET DESCRIPTION "text"): adds the resource to TARGET (an
# executable or DLL defined anywhere in the tree), named after the file it builds.
function(kestrel_version_resource target)
  cmake_parse_arguments(arg "" "DESCRIPTION" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  string(REPLACE "." "," commas "${KESTREL_PRODUCT_VERSION}")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(file_type "0x1L")  # VFT_APP
    set(suffix ".exe")
  else()
    set(file_type "0x2L")  # VFT_DLL
    set(suffix ".dll")
  endif()
  get_target_property(output ${target} OUTPUT_NAME)
  if(NOT output)
    set(output ${target})
  endif()
  set(rc ${CMAKE_BINARY_DIR}/version/${target}_version.rc)
  file(CONFIGURE OUTPUT ${rc} @ONLY CONTENT [=[
#include <winver.h>
VS_VERSION_INFO VERSIONINFO
FILEVERSION @commas@
PRODUCTVERSION @commas@
FILEFLAGSMASK 0x3fL
FILEFLAGS 0x0L
FILEOS 0x40004L
FILETYPE @file_type@
FILESUBTYPE 0x0L
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "080404b0"
    BEGIN
      VALUE "CompanyName", "@KESTREL_PUBLISHER@"
      VALUE "FileDescription", "@arg_DESCRIPTION@"
      VALUE "FileVersion", "@KESTREL_PRODUCT_VERSION@"
      VALUE "InternalName", "@output@"
      VALUE "OriginalFilename", "@output@@suffix@"
      VALUE "ProductName", "@KESTREL_PRODUCT_NAME@"
      VALUE "ProductVersion", "@KESTREL_PRODUCT_VERSION@"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x804, 1200
  END
END
]=])
  target_sources(${target} PRIVATE ${rc})
endfunction()

# The program shows and sends its version from a few sources of its own (the caption, the about
# box, the manifest, the identity it reports); the configure step stops when one of them names
# another version than the one above, so a version change cannot miss one.
foreach(file kestrelrun/program/KestrelRun.manifest kestrelrun/ui/shutdown_rules.h
             kestrelrun/res/layout/caption.xml kestrelrun/res/layout/about.xml)
  file(READ ${CMAKE_SOURCE_DIR}/${file} text)
  string(REGEX MATCHALL "[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+" versions "${text}")
  list(REMOVE_DUPLICATES versions)
  list(REMOVE_ITEM versions 6.0.0.0)  # the manifest's common controls
  if(NOT versions STREQUAL KESTREL_PRODUCT_VERSION)
    message(FATAL_ERROR "${file} names the version(s) '${versions}', not ${KESTREL_PRODUCT_VERSION}")
  endif()
endforeach()

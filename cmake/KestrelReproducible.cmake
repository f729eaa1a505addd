# Two builds of one commit in different folders give the same bytes: no source or build folder
# in the objects (__FILE__, debug information), no link time in the PE header. Times that end up
# in the release come from SOURCE_DATE_EPOCH (the commit's date, set by scripts/package).
# GCC tries the last map first, so the build folder wins when it lies inside the sources.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/)
if(WIN32)
  # The linker would write the link time into the header; nothing reads it.
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# kestrel_delay_import(DLL): an interface library DLL_delayed that links the DLL through a
# delay-import library, so that a program loads it at its first call instead of at its start.
# The linker writes the DLL's exports as a .def file beside it; dlltool makes the library from it.
# The delay-load helper (__delayLoadHelper2) comes with mingw-w64's libmingwex in both builds.
function(kestrel_delay_import dll)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${dll}.def)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}.delay.a)
  target_link_options(${dll} PRIVATE -Wl,--output-def,${def})
  add_custom_command(OUTPUT ${lib}
                     COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}.dll
                             --output-delaylib ${lib}
                     DEPENDS ${dll} VERBATIM)
  add_custom_target(${dll}_delaylib DEPENDS ${lib})
  add_library(${dll}_delayed INTERFACE)
  target_link_libraries(${dll}_delayed INTERFACE ${lib})
  target_include_directories(${dll}_delayed INTERFACE $<TARGET_PROPERTY:${dll},INTERFACE_INCLUDE_DIRECTORIES>)
  # The callers call the thunks, not through __imp_ pointers (see the DLL's header).
  string(TOUPPER ${dll} upper)
  target_compile_definitions(${dll}_delayed INTERFACE ${upper}_DELAY_LOADED)
  add_dependencies(${dll}_delayed ${dll}_delaylib)
endfunction()

# Pictures drawn as SVG in kestrelrun/res/img/ become PNG at 1, 1.5 and 2 times their size
# (rsvg-convert, at build time; the PNGs are build output) and are compiled into a program as
# resources of type IMG.MAIN named "<stem>", "<stem>@1.5x" and "<stem>@2x", with the window
# icons "LOGO:16" and "LOGO:32" from logo.svg. Further resources come as TYPE:NAME=FILE.
find_program(KESTREL_RSVG_CONVERT rsvg-convert REQUIRED)

function(kestrel_resources target)
  cmake_parse_arguments(arg "" "" "ENTRIES" ${ARGN})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_res)
  file(GLOB svgs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/kestrelrun/res/img/*.svg)
  set(lines "")
  set(pngs "")
  # windres joins adjacent strings even across lines (a file name with the next line's name),
  # so a LANGUAGE statement (neutral, as the resources are) stands between the entries.
  foreach(svg IN LISTS svgs)
    get_filename_component(stem ${svg} NAME_WE)
    foreach(variant "1;" "1.5;@1.5x" "2;@2x")
      list(GET variant 0 zoom)
      list(LENGTH variant n)
      set(suffix "")
      if(n GREATER 1)
        list(GET variant 1 suffix)
      endif()
      set(png ${dir}/${stem}${suffix}.png)
      add_custom_command(OUTPUT ${png} COMMAND ${KESTREL_RSVG_CONVERT} -z ${zoom} -o ${png} ${svg}
                         DEPENDS ${svg} VERBATIM)
      list(APPEND pngs ${png})
      string(APPEND lines "\"${stem}${suffix}\" IMG.MAIN \"${png}\"\nLANGUAGE 0, 0\n")
    endforeach()
  endforeach()
  foreach(size 16 32)
    set(png ${dir}/logo_${size}.png)
    add_custom_command(OUTPUT ${png}
                       COMMAND ${KESTREL_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                               ${CMAKE_SOURCE_DIR}/kestrelrun/res/img/logo.svg
                       DEPENDS ${CMAKE_SOURCE_DIR}/kestrelrun/res/img/logo.svg VERBATIM)
    list(APPEND pngs ${png})
    string(APPEND lines "\"${size}\" LOGO \"${png}\"\nLANGUAGE 0, 0\n")
  endforeach()
  foreach(entry IN LISTS arg_ENTRIES)
    string(REGEX MATCH "^([^:]+):([^=]+)=(.+)$" ok "${entry}")
    if(NOT ok)
      message(FATAL_ERROR "resource entry ${entry} is not TYPE:NAME=FILE")
    endif()
    string(APPEND lines "\"${CMAKE_MATCH_2}\" ${CMAKE_MATCH_1} \"${CMAKE_MATCH_3}\"\nLANGUAGE 0, 0\n")
  endforeach()
  if(lines MATCHES " ")
    string(REGEX MATCH "[^\n]* [^\n]* [^\n]* [^\n]*" spaced "${lines}")
    if(spaced)
      message(FATAL_ERROR "resource paths must not contain spaces: ${spaced}")
    endif()
  endif()
  file(MAKE_DIRECTORY ${dir})
  file(GENERATE OUTPUT ${dir}/${target}.rc CONTENT "${lines}")
  add_custom_target(${target}_pictures DEPENDS ${pngs})
  add_dependencies(${target} ${target}_pictures)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  set_source_files_properties(${dir}/${target}.rc PROPERTIES OBJECT_DEPENDS "${pngs}")
endfunction()

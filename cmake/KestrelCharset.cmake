# NetProbe's and MicProbe's narrow literals (messages, localised keywords of the tools' output)
# are GBK bytes, as the system's code page 936 prints them. The charset is a private property of each target
# whose own sources hold such literals: nothing that links them inherits it, so the program, the
# toolkit and the demo keep UTF-8 literals without overriding anything.
#
# clang only has UTF-8 as its execution charset, so the fuzz build keeps UTF-8 literals there:
# the Chinese keywords are then UTF-8 bytes, which changes which bytes match, not how the parsers
# walk the text (scripts/fuzz seeds UTF-8 copies of the Chinese recordings to match).
function(kestrel_gbk_literals)
  foreach(target ${ARGN})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      target_compile_options(${target} PRIVATE -finput-charset=UTF-8)
    else()
      target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK)
    endif()
  endforeach()
endfunction()

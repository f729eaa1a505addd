# One warning policy for all three builds.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
                    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
                    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(KESTREL_WERROR)
  add_compile_options(-Werror)
endif()

if(WIN32)
  # Wide Win32 API everywhere; no min/max macros.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(KESTREL_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

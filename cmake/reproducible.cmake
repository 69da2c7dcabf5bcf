# Builds of one commit give the same bytes in any folder and at any time: the compiler writes
# paths relative to the source tree (__FILE__, debug information), and the MinGW linker leaves
# the link time out of the PE header. Static libraries are already deterministic: Debian's ar
# writes zero times and ids. Only C and C++ get the map; the resource compiler rejects it.
add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
if(MINGW)
    add_link_options(-Wl,--no-insert-timestamp)
endif()

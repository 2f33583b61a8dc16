# zebrin-posix32: 32-bit PE console program from the MinGW-w64 toolchain, built
# against our own stand-in for the POSIX emulation layer
# (src/compare/posix_layer.cpp): its arguments are UTF-8 texts, wildcard
# patterns already expanded, and its standard output is binary, as that layer
# presents them; a parent sees the status's low eight bits. Only "-" marks a
# switch. File names are UTF-8.
set(ZEBRIN_RELEASE_DATE "06.12.2026")
set(ZEBRIN_SLASH_SWITCH 0)
set(ZEBRIN_POSIX_FILES 0)
set(ZEBRIN_UTF8_NAMES 1)
set(ZEBRIN_EXIT_LOW_EIGHT_BITS 1)
set(ZEBRIN_OUTPUT_NAME zebrin-posix32)
# The description in the program's version resource (build/win32).
set(ZEBRIN_FILE_DESCRIPTION "ZEBRIN byte-by-byte file comparer for a POSIX emulation layer on Win32")
set(ZEBRIN_PLATFORM_SOURCES ${CMAKE_SOURCE_DIR}/src/compare/posix_layer.cpp)
# -s: stripped at link time, so the file the tests check is the file shipped.
# --no-insert-timestamp: the PE header's link time would make every build
# differ, and a download could never be checked by rebuilding it.
set(ZEBRIN_LINK_OPTIONS -static -s -Wl,--no-insert-timestamp)

# zebrin-con32: 32-bit PE console program for Win32 (MinGW-w64). "/" marks a
# switch as well as "-"; exit hands the whole 32-bit status to the process
# exit code (-1 stays 0xFFFFFFFF). The C++ runtime and libgcc are linked in;
# only the system's own DLLs stay outside.
set(ZEBRIN_RELEASE_DATE "04.12.2026")
set(ZEBRIN_SLASH_SWITCH 1)
set(ZEBRIN_POSIX_FILES 0)
set(ZEBRIN_EXIT_LOW_EIGHT_BITS 0)
set(ZEBRIN_OUTPUT_NAME zebrin-con32)
# The description in the program's version resource (build/win32).
set(ZEBRIN_FILE_DESCRIPTION "ZEBRIN byte-by-byte file comparer for the Win32 console")
# -s: stripped at link time, so the file the tests check is the file shipped.
# --no-insert-timestamp: the PE header's link time would make every build
# differ, and a download could never be checked by rebuilding it.
set(ZEBRIN_LINK_OPTIONS -static -s -Wl,--no-insert-timestamp)

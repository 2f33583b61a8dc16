# zebrin-linux: 32-bit i386 ELF, loaded through /lib/ld-linux.so.2. The C++
# runtime and libgcc are linked in, so the only shared library it needs is
# libc.so.6.
set(ZEBRIN_RELEASE_DATE "08.12.2026")
set(ZEBRIN_SLASH_SWITCH 0)
set(ZEBRIN_POSIX_FILES 1)
set(ZEBRIN_EXIT_LOW_EIGHT_BITS 0)
set(ZEBRIN_OUTPUT_NAME zebrin-linux)
# Not stripped at link time: the tests run this build, and scripts/release.sh
# strips the copy a release ships.
set(ZEBRIN_LINK_OPTIONS -static-libstdc++ -static-libgcc)

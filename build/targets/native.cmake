# The host's own 64-bit Linux build: behaves exactly like zebrin-linux.
set(ZEBRIN_RELEASE_DATE "08.12.2026")
set(ZEBRIN_SLASH_SWITCH 0)
set(ZEBRIN_POSIX_FILES 1)
set(ZEBRIN_EXIT_LOW_EIGHT_BITS 0)
set(ZEBRIN_OUTPUT_NAME zebrin)

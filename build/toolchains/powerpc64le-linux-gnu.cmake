# Debian's cross compiler for ppc64el, 64-bit little-endian POWER Linux
# (package g++-powerpc64le-linux-gnu).
set(ZEBRIN_TRIPLET powerpc64le-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(ZEBRIN_QEMU qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

# Debian's cross compiler for armhf, 32-bit ARM Linux with hardware floating point
# (package g++-arm-linux-gnueabihf).
set(ZEBRIN_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(ZEBRIN_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

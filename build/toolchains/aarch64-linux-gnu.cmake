# Debian's cross compiler for arm64, 64-bit ARM Linux (package g++-aarch64-linux-gnu).
set(ZEBRIN_TRIPLET aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(ZEBRIN_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

# Debian's cross compiler for s390x, 64-bit IBM Z Linux, big-endian
# (package g++-s390x-linux-gnu).
set(ZEBRIN_TRIPLET s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(ZEBRIN_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

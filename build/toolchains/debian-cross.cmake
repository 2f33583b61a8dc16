# Shared by the toolchain files of Debian's cross compilers for the other
# Linux architectures (g++-<triplet>): each sets ZEBRIN_TRIPLET, the
# processor and ZEBRIN_QEMU, the user-mode emulator that runs its programs
# here (package qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
# (GoogleTest's own build asks for a C compiler too.)
set(CMAKE_C_COMPILER ${ZEBRIN_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${ZEBRIN_TRIPLET}-g++)
# Libraries come from the cross compiler's own folder; GoogleTest, built for
# the target, is named by GTest_DIR.
set(CMAKE_FIND_ROOT_PATH /usr/${ZEBRIN_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The test programs run under the emulator, which takes the target's loader
# and libraries from the cross compiler's folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZEBRIN_QEMU} -L /usr/${ZEBRIN_TRIPLET})

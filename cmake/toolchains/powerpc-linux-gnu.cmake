# Cross build for Linux on 32-bit big-endian PowerPC with Debian's
# g++-powerpc-linux-gnu.  Programs built for the target run under qemu-user
# (qemu-ppc), which takes its shared libraries from the cross sysroot; ctest
# and gtest_discover_tests go through CMAKE_CROSSCOMPILING_EMULATOR, so the
# test suite runs unchanged.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR powerpc)

set(IF_INDEX_VEC_PPC_TRIPLE powerpc-linux-gnu)
set(IF_INDEX_VEC_PPC_SYSROOT /usr/${IF_INDEX_VEC_PPC_TRIPLE}
    CACHE PATH "Target libraries and headers (Debian's cross packages put them here)")

set(CMAKE_C_COMPILER ${IF_INDEX_VEC_PPC_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${IF_INDEX_VEC_PPC_TRIPLE}-g++)

find_program(IF_INDEX_VEC_QEMU_PPC qemu-ppc REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${IF_INDEX_VEC_QEMU_PPC} -L ${IF_INDEX_VEC_PPC_SYSROOT})

# Look for programs on the build host, for libraries and headers in the
# sysroot only.
set(CMAKE_FIND_ROOT_PATH ${IF_INDEX_VEC_PPC_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

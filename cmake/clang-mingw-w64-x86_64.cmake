# Second compiler for the Windows build: clang targeting x86_64-w64-mingw32, linked with lld,
# against the C++ headers and libraries of Debian's mingw-w64 GCC (win32 thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QM_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${QM_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${QM_TRIPLE})
set(CMAKE_RC_COMPILER ${QM_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QM_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# clang does not recognise Debian's "12-win32" GCC directory by itself: name it.
file(GLOB qm_gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${QM_TRIPLE}/*-win32)
list(SORT qm_gcc_dirs COMPARE NATURAL ORDER DESCENDING)
list(GET qm_gcc_dirs 0 qm_gcc)
set(CMAKE_CXX_FLAGS_INIT "-nostdinc++ -isystem ${qm_gcc}/include/c++ -isystem ${qm_gcc}/include/c++/${QM_TRIPLE} -isystem ${qm_gcc}/include/c++/backward")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${qm_gcc} -Wno-unused-command-line-argument")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -L${qm_gcc}")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine-exec)

# Cross-build for Windows with Debian's mingw-w64 compilers of the posix
# thread model (std::thread and std::mutex need it). The C++ runtime, libgcc
# and winpthread are linked statically, so every module is self-contained.
# Included by the toolchain file of each target processor, which sets
# CMAKE_SYSTEM_PROCESSOR and STRATIVUE_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${STRATIVUE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${STRATIVUE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${STRATIVUE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${STRATIVUE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine when CTest or test discovery starts them.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

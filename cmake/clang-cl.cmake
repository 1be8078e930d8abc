# Builds Kestova.dll in MSVC mode on Linux with Debian's LLVM tools, as Visual Studio would:
# clang-cl, lld-link, llvm-dlltool and llvm-rc, with the MinGW-w64 headers standing in for the
# Windows SDK. There is no MSVC C or C++ library here, so only the plugin builds this way.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

find_program(CMAKE_CXX_COMPILER NAMES clang-cl clang-cl-14 REQUIRED)
find_program(CMAKE_LINKER NAMES lld-link lld-link-14 REQUIRED)
find_program(CMAKE_AR NAMES llvm-lib llvm-lib-14 REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES llvm-rc llvm-rc-14 REQUIRED)
find_program(CMAKE_MT NAMES llvm-mt llvm-mt-14 REQUIRED)
# llvm-lib has no /def:, so the import libraries come from llvm-dlltool.
find_program(CMAKE_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)

set(KESTOVA_MINGW_HEADERS /usr/share/mingw-w64/include)
# -fgnuc-version: without it _mingw.h defines __attribute__ away and the intrinsic headers
# fail. compat/msvc supplies <cstdint>, the one C++ header the plugin includes.
set(KESTOVA_CXX_LIBRARY_SHIM ${CMAKE_CURRENT_LIST_DIR}/../compat/msvc)
set(CMAKE_CXX_FLAGS_INIT
    "/clang:-fgnuc-version=4.2.1 -imsvc ${KESTOVA_CXX_LIBRARY_SHIM} -imsvc ${KESTOVA_MINGW_HEADERS}")
# CMake preprocesses .rc files for llvm-rc with clang-cl, which finds <winver.h> there.
set(CMAKE_RC_FLAGS_INIT "-I ${KESTOVA_MINGW_HEADERS}")

# No msvcrt.lib, oldnames.lib or SDK libraries to link test programs with: the compiler checks
# stop at a static library, and no target gets the default Windows libraries.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)

# kernel32.lib, made from the names the plugin may import from it.
set(KESTOVA_SDK_LIBRARIES ${CMAKE_BINARY_DIR}/clang-cl-sdk)
set(kernel32_def ${CMAKE_CURRENT_LIST_DIR}/clang-cl/kernel32.def)
if("${kernel32_def}" IS_NEWER_THAN "${KESTOVA_SDK_LIBRARIES}/kernel32.lib")
  file(MAKE_DIRECTORY ${KESTOVA_SDK_LIBRARIES})
  execute_process(
    COMMAND ${CMAKE_DLLTOOL} -m i386:x86-64 --input-def ${kernel32_def}
            --output-lib ${KESTOVA_SDK_LIBRARIES}/kernel32.lib
    COMMAND_ERROR_IS_FATAL ANY)
endif()
set(CMAKE_SHARED_LINKER_FLAGS_INIT "/LIBPATH:${KESTOVA_SDK_LIBRARIES}")

# Windows programs run here under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine)

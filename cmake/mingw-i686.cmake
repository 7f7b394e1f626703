# Cross-building for 32-bit Windows with mingw-w64 (posix threads), the way
# Vornix loads its plug-ins. The libraries ZAVOR depends on come from the
# prefix that scripts/build-windows.sh builds (ZAVOR_MINGW_PREFIX, passed with
# -D or in the environment) and from mingw-w64's own folder (zlib).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(ZAVOR_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZAVOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZAVOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZAVOR_MINGW_TRIPLE}-windres)

if(NOT ZAVOR_MINGW_PREFIX AND DEFINED ENV{ZAVOR_MINGW_PREFIX})
  set(ZAVOR_MINGW_PREFIX $ENV{ZAVOR_MINGW_PREFIX})
endif()
# try_compile projects read this file again and need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZAVOR_MINGW_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${ZAVOR_MINGW_TRIPLE} ${ZAVOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static archives only: an import library (libz.dll.a) would make the DLL
# depend on a DLL that no Windows machine has.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(ZLIB_USE_STATIC_LIBS ON)

# pkg-config reads only the cross-built libraries, with what their static
# archives need in turn.
set(ENV{PKG_CONFIG_LIBDIR} "${ZAVOR_MINGW_PREFIX}/lib/pkgconfig:/usr/${ZAVOR_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static)

# SSE2 maths as on x86-64: x87's extended precision changes the last digit
# of numbers that the PDF output writes byte for byte.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

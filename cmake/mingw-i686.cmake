# 32-bit Windows: the shipped SETUP.EXE, and the tests where 32-bit Wine runs.
set(QSETUP_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# 32-bit Windows: the program as it ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TERVANE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

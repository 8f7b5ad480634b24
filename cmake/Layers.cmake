# One pair of libraries per source folder: tervane_<folder> (portable, standard C++ only,
# built natively and for Windows) and, on Windows, tervane_<folder>_win (the Win32 edge).
# A folder links only the folders of the layers below it (docs/ARCHITECTURE.md); the test
# "layers" (scripts/check-layers.py) refuses an include that points up or sideways.
#
# tervane_folder(<folder> [USES folders...] [EXCLUDE files...]): every *.cpp of the
# folder (but the EXCLUDEd, such as a main()) goes in, *_win.cpp into the Win32 edge.
function(tervane_folder folder)
  cmake_parse_arguments(arg "" "" "USES;EXCLUDE" ${ARGN})
  set(lib tervane_${folder})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(TRANSFORM arg_EXCLUDE PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  if(arg_EXCLUDE)
    list(REMOVE_ITEM sources ${arg_EXCLUDE})
  endif()
  set(arg_PORTABLE ${sources})
  list(FILTER arg_PORTABLE EXCLUDE REGEX "_win\\.cpp$")
  set(arg_WIN32 ${sources})
  list(FILTER arg_WIN32 INCLUDE REGEX "_win\\.cpp$")

  if(arg_PORTABLE)
    add_library(${lib} STATIC ${arg_PORTABLE})
    set(scope PUBLIC)
    tervane_warnings(${lib})
  else()
    add_library(${lib} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${lib} ${scope} ${CMAKE_SOURCE_DIR})
  foreach(used ${arg_USES})
    target_link_libraries(${lib} ${scope} tervane_${used})
  endforeach()

  if(WIN32)
    if(arg_WIN32)
      add_library(${lib}_win STATIC ${arg_WIN32})
      set(scope PUBLIC)
      tervane_warnings(${lib}_win)
    else()
      add_library(${lib}_win INTERFACE)
      set(scope INTERFACE)
    endif()
    target_link_libraries(${lib}_win ${scope} ${lib})
    foreach(used ${arg_USES})
      target_link_libraries(${lib}_win ${scope} tervane_${used}_win)
    endforeach()
  endif()
endfunction()

# One place for the compiler warnings of every target of ours.
function(tervane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(TERVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Source sets are found by folder, so adding a unit never means editing a list.
#   portable code:     src/<subsystem>/*.cpp (no Windows headers)
#   Win32 side:        src/**/win32/*.cpp and src/ui/*.cpp
#   POSIX side:        src/os/posix/*.cpp
function(zm_glob_sources out)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${ARGN})
  set(${out} ${files} PARENT_SCOPE)
endfunction()

function(zm_portable_sources out)
  zm_glob_sources(all ${CMAKE_SOURCE_DIR}/src/*.cpp)
  list(FILTER all EXCLUDE REGEX "/win32/|/src/ui/|/src/os/posix/")
  set(${out} ${all} PARENT_SCOPE)
endfunction()

function(zm_win32_sources out)
  zm_glob_sources(all ${CMAKE_SOURCE_DIR}/src/*.cpp)
  list(FILTER all INCLUDE REGEX "/win32/|/src/ui/")
  # Program entry points live in files named *_main.cpp and are not library code.
  list(FILTER all EXCLUDE REGEX "_main\\.cpp$")
  set(${out} ${all} PARENT_SCOPE)
endfunction()

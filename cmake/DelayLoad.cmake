# Delay-loaded system DLLs: a program names the DLLs it needs only after its window shows, and
# each loads on the program's first call into it instead of before WinMain (under Wine every
# DLL loaded at start, with the DLLs it pulls in, costs start-up time).
#
# For each DLL a delay-load import library is made at build time from the toolchain's own
# import library and put in a folder of the target's own, searched before the toolchain's: every
# -l<dll> of the target, the compiler's default ones included, takes the delay-load library,
# whichever library on the link line calls the DLL first.
set(VANTOR_DELAY_LOAD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/DelayLoadLibrary.cmake)

function(vantor_delay_load target)
  if(NOT WIN32)
    return()
  endif()
  if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "vantor_delay_load: the toolchain's nm and dlltool are needed (binutils-mingw-w64)")
  endif()
  # 32-bit C names carry a leading underscore, and stdcall ones their @N, which the DLL's own
  # export names lack.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(decorated ON)
  else()
    set(decorated OFF)
  endif()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}-delay-load)
  set(libraries)
  foreach(dll IN LISTS ARGN)
    find_library(VANTOR_IMPORT_LIBRARY_${dll} NAMES lib${dll}.a REQUIRED)
    set(import_library ${VANTOR_IMPORT_LIBRARY_${dll}})
    set(delay_library ${folder}/lib${dll}.a)
    add_custom_command(
      OUTPUT ${delay_library}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DIMPORT_LIBRARY=${import_library}
              -DDELAY_LIBRARY=${delay_library} -DDECORATED=${decorated} -P ${VANTOR_DELAY_LOAD_SCRIPT}
      DEPENDS ${import_library} ${VANTOR_DELAY_LOAD_SCRIPT}
      COMMENT "Delay-load import library for ${dll}"
      VERBATIM)
    list(APPEND libraries ${delay_library})
  endforeach()
  add_custom_target(${target}_delay_load DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delay_load)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
  target_link_directories(${target} BEFORE PRIVATE ${folder})
endfunction()

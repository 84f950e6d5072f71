# VANTOR_SANITIZE=address,undefined or thread instruments the native core and its tests.
set(VANTOR_SANITIZE "" CACHE STRING "Sanitizers for the native build (address,undefined | thread)")
if(VANTOR_SANITIZE)
  if(WIN32)
    message(FATAL_ERROR "Sanitizers are for the native build only")
  endif()
  add_compile_options(-fsanitize=${VANTOR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all -g)
  add_link_options(-fsanitize=${VANTOR_SANITIZE})
endif()

# Reads the program's version and names from res/Version.h, the one place they are kept:
# VANTOR_VERSION (dotted, for project()), VANTOR_COMPANY_NAME, VANTOR_PRODUCT_NAME and VANTOR_COPYRIGHT.
set(version_header ${CMAKE_CURRENT_LIST_DIR}/../res/Version.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${version_header})
file(STRINGS ${version_header} version_lines ENCODING UTF-8 REGEX "^#define VANTOR_")

function(vantor_version_field name out)
  list(FILTER version_lines INCLUDE REGEX "^#define ${name} ")
  if(NOT version_lines MATCHES "^#define ${name} +\"?([^\"]*)\"?$")
    message(FATAL_ERROR "res/Version.h defines no ${name}")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

set(VANTOR_VERSION)
foreach(part MAJOR MINOR PATCH BUILD)
  vantor_version_field(VANTOR_VERSION_${part} number)
  list(APPEND VANTOR_VERSION ${number})
endforeach()
list(JOIN VANTOR_VERSION . VANTOR_VERSION)
vantor_version_field(VANTOR_COMPANY_NAME VANTOR_COMPANY_NAME)
vantor_version_field(VANTOR_PRODUCT_NAME VANTOR_PRODUCT_NAME)
vantor_version_field(VANTOR_COPYRIGHT VANTOR_COPYRIGHT)

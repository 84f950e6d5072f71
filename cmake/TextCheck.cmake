# Every configuration checks the program's texts before it builds anything of the program:
# each text in Chinese and English with the same placeholders, the string tables and dialog
# templates alike in both, and no Chinese text of today changed unnoticed
# (scripts/check-texts.py, res/texts.zh.frozen, res/texts.zh.allowed).
option(VANTOR_TEXT_CHECK_STRICT "Fail the build on a Chinese text without its English twin" ON)
find_package(Python3 COMPONENTS Interpreter REQUIRED)
# The interpreter itself, not a launcher in front of it (a version manager's shim costs seconds).
execute_process(COMMAND ${Python3_EXECUTABLE} -c "import sys; print(sys.executable)"
                OUTPUT_VARIABLE VANTOR_PYTHON OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(text_check_script ${CMAKE_SOURCE_DIR}/scripts/check-texts.py)
set(text_check_inputs ${text_check_script})
foreach(dir app attempt base cli controls info infopage ledger letters pagekit pki pkipage report res
            seal station stationpage stock token wipe wipepage workbench win)
  file(GLOB_RECURSE dir_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h
       ${CMAKE_SOURCE_DIR}/${dir}/*.inc ${CMAKE_SOURCE_DIR}/${dir}/*.rc)
  list(APPEND text_check_inputs ${dir_inputs})
endforeach()
file(GLOB text_lists CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/texts.zh.*)
list(APPEND text_check_inputs ${text_lists})

if(VANTOR_TEXT_CHECK_STRICT)
  set(text_check_mode)
else()
  set(text_check_mode --no-fail-unpaired)
endif()
set(text_check_stamp ${CMAKE_BINARY_DIR}/texts-checked.stamp)
add_custom_command(OUTPUT ${text_check_stamp}
  COMMAND ${VANTOR_PYTHON} ${text_check_script} --root ${CMAKE_SOURCE_DIR} ${text_check_mode}
  COMMAND ${CMAKE_COMMAND} -E touch ${text_check_stamp}
  DEPENDS ${text_check_inputs}
  COMMENT "Checking the texts in Chinese and English"
  VERBATIM)
add_custom_target(vantor_texts ALL DEPENDS ${text_check_stamp})

# Build step of vantor_delay_load (cmake -P): writes the delay-load import library of one system
# DLL from the toolchain's import library of it, so the two always name the same functions.
# -D NM, DLLTOOL: the toolchain's tools; IMPORT_LIBRARY: the toolchain's lib<dll>.a;
# DELAY_LIBRARY: the library to write; DECORATED: ON where C names carry an underscore and @N.
foreach(variable NM DLLTOOL IMPORT_LIBRARY DELAY_LIBRARY DECORATED)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "DelayLoadLibrary.cmake: -D${variable}=... is missing")
  endif()
endforeach()

# The DLL's own name as the import library records it.
execute_process(COMMAND ${DLLTOOL} --identify ${IMPORT_LIBRARY} OUTPUT_VARIABLE dll_name
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# Its functions: each has a code stub (T) beside its __imp_ pointer. Data exports have no stub
# and cannot be delay-loaded, so they are left out.
execute_process(COMMAND ${NM} --defined-only ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^\n]+ T [^\n]+" code_lines "${symbols}")
set(exports)
foreach(line IN LISTS code_lines)
  string(REGEX REPLACE ".* T " "" name "${line}")
  if(DECORATED)
    string(REGEX REPLACE "^_" "" name "${name}")
  endif()
  list(APPEND exports "${name}")
endforeach()
list(REMOVE_DUPLICATES exports)
list(LENGTH exports count)
if(count EQUAL 0)
  message(FATAL_ERROR "DelayLoadLibrary.cmake: no functions found in ${IMPORT_LIBRARY}")
endif()
list(JOIN exports "\n" export_lines)

get_filename_component(folder ${DELAY_LIBRARY} DIRECTORY)
get_filename_component(stem ${DELAY_LIBRARY} NAME_WE)
set(definition ${folder}/${stem}.def)
file(MAKE_DIRECTORY ${folder})
file(WRITE ${definition} "LIBRARY \"${dll_name}\"\nEXPORTS\n${export_lines}\n")
file(REMOVE ${DELAY_LIBRARY})
# In its own folder, by names without the folder: its scratch files stay apart from the other
# DLLs' builds, and the symbols dlltool derives from the library's name stay free of the path.
# --kill-at: the 32-bit symbols keep their @N, the names looked up in the DLL lose it.
get_filename_component(library_name ${DELAY_LIBRARY} NAME)
execute_process(COMMAND ${DLLTOOL} --kill-at --input-def ${stem}.def --dllname ${dll_name}
                        --output-delaylib ${library_name} --temp-prefix ${stem}
                WORKING_DIRECTORY ${folder} COMMAND_ERROR_IS_FATAL ANY)

# Every target of the project builds with -Wall -Wextra and no warnings.
function(vantor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

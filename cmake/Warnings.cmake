# No warnings with -Wall -Wextra in any configuration: they are errors here.
function(korvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

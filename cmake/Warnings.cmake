# Warnings every target of ours builds with.
function(textnodes_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(TEXTNODES_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

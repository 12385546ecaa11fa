# Warnings every target of ours builds with.
function(textnodes_warnings target)
  # -Wconversion: a value narrowed without a cast, a code point put in a 16-bit wchar_t above
  # all, is an error under -Werror. Not -Wsign-conversion, which clang's -Wconversion would bring:
  # its 65 places in our code were all indices mixing int and std::size_t within range (the
  # automata's state numbers above all), where a cast at each would hide the few that matter.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion
                                           -Wno-sign-conversion)
  if(TEXTNODES_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

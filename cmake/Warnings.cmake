# Warnings as errors on our own code; call tabrook_warnings(target) for every target we write.
function(tabrook_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Werror
    -Wno-unused-parameter
    $<$<CXX_COMPILER_ID:GNU>:-Wno-stringop-overflow>)
endfunction()

# tabrook_code(target): every target of our own code calls this. Warnings are errors, and
# includes are written from the repository root ("transfer/Job.h"); the root is a private
# include path of each target, never one a target passes on, so a layer sees another layer's
# headers only through its own includes, which the layer check in the test suite reads.
function(tabrook_code target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Werror
    -Wno-unused-parameter
    $<$<CXX_COMPILER_ID:GNU>:-Wno-stringop-overflow>)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()

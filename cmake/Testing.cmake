# tabrook_test(NAME name SOURCES ... LIBS ...): a GoogleTest executable registered with CTest.
set(TABROOK_TEST_OUTPUT ${CMAKE_BINARY_DIR}/tests)
add_custom_target(fuzz_targets)
function(tabrook_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  tabrook_code(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  target_compile_definitions(${T_NAME} PRIVATE
    TABROOK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TABROOK_BINARY_DIR="${CMAKE_BINARY_DIR}"
    TABROOK_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TABROOK_TEST_OUTPUT})
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES TIMEOUT 300)
endfunction()

# tabrook_fuzz(NAME name SOURCES ... LIBS ... [RUNS n] [SECONDS n] [CORPUS dir]): a libFuzzer
# target, built only with TABROOK_FUZZ=ON, and run by CTest under the label "fuzz". A run is a
# fixed number of inputs from a fixed seed, so the same tree fuzzes the same way every time
# (a failure in CI is reproducible); SECONDS only caps a run that is slower than expected.
function(tabrook_fuzz)
  cmake_parse_arguments(F "" "NAME;RUNS;SECONDS;CORPUS;MAX_LEN" "SOURCES;LIBS" ${ARGN})
  if(NOT TABROOK_FUZZ)
    return()
  endif()
  if(NOT F_RUNS)
    set(F_RUNS 200000)
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 120)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_include_directories(${F_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_targets ${F_NAME})
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TABROOK_TEST_OUTPUT}/fuzz)
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${F_NAME})
  set(seed "")
  set(max_len "")
  if(F_MAX_LEN)
    set(max_len "-max_len=${F_MAX_LEN}")
  endif()
  if(F_CORPUS)
    set(seed ${F_CORPUS})
  endif()
  add_test(NAME fuzz.${F_NAME}
    COMMAND ${CMAKE_COMMAND} -E env
      sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${F_NAME}>' -seed=1 -runs=${F_RUNS} -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 ${max_len} '${work}' ${seed}")
  set_tests_properties(fuzz.${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()

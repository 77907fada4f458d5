# Helpers shared by every subsystem's CMakeLists.

set(KOVA_FUZZ_CORPUS_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)

# kova_test(NAME SOURCES src... LIBS lib...)
# A GoogleTest program. Natively every test case is a ctest test; in the
# Windows build the program is one ctest test run under Wine.
function(kova_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(KOVA_FUZZ)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${KOVA_GTEST_LIBS})
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()

# kova_fuzz_target(NAME SOURCES src... LIBS lib... [MAX_LEN n])
# With KOVA_FUZZ a libFuzzer program whose inputs reach MAX_LEN bytes (what
# the product reads; default 4096); otherwise the same entry point is
# linked with a small driver that replays the seed corpus
# tests/fuzz/corpus/NAME, so every native test run covers the seeds.
function(kova_fuzz_target name)
  cmake_parse_arguments(F "" "MAX_LEN" "SOURCES;LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  if(KOVA_FUZZ)
    if(NOT F_MAX_LEN)
      set(F_MAX_LEN 4096)
    endif()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz/max_len.cpp)
    target_compile_definitions(${name} PRIVATE KOVA_FUZZ_MAX_LEN=${F_MAX_LEN})
    # Undefined behaviour stops the run, as it stops a native test.
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
                           -fno-sanitize-recover=undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    add_test(NAME ${name}_replay COMMAND ${name} ${KOVA_FUZZ_CORPUS_DIR}/${name})
  endif()
endfunction()

# ImageMagick for generated pictures. The real program in /usr/bin first:
# a `convert` earlier on PATH may be something else of the same name.
find_program(KOVA_CONVERT NAMES convert-im6.q16 convert PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT KOVA_CONVERT)
  find_program(KOVA_CONVERT convert)
endif()

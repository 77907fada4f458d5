# Native tests of the HE3 codec, the package appendix and the text stack,
# their fuzz targets, and (with KOVA_BENCH) the codec benchmarks.
set(KOVA_PKG_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})

kova_test(codec_tests
  SOURCES ${KOVA_PKG_TEST_DIR}/codec_test.cpp
  LIBS kova_he3)

kova_fuzz_target(he3_decode_fuzz
  SOURCES ${KOVA_PKG_TEST_DIR}/codec_decode_fuzz.cpp
  LIBS kova_he3)

kova_test(appendix_tests
  SOURCES ${KOVA_PKG_TEST_DIR}/appendix_test.cpp
  LIBS kova_package kova_pack_writer)

kova_test(cstack_tests
  SOURCES ${KOVA_PKG_TEST_DIR}/cstack_test.cpp
  LIBS kova_package)

kova_fuzz_target(appendix_fuzz
  SOURCES ${KOVA_PKG_TEST_DIR}/appendix_fuzz.cpp
  LIBS kova_package)

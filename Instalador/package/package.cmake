# The HE3 codec and the package layout with its reader: portable, built
# natively and into the Windows programs alike.
if(WIN32)
  set(KOVA_PACKAGE_PLATFORM win32)
else()
  set(KOVA_PACKAGE_PLATFORM posix)
endif()

add_library(kova_he3 STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cls_huffman.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cls_huffman_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/binary_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/binary_file_${KOVA_PACKAGE_PLATFORM}.cpp)
target_include_directories(kova_he3 PUBLIC ${CMAKE_SOURCE_DIR})
if(NOT WIN32)
  # The decoder's speed matters even in the sanitized test build's callers
  # (the tools); keep it optimised whatever the build type.
  target_compile_options(kova_he3 PRIVATE -O2)
endif()

add_library(kova_package STATIC
  ${CMAKE_CURRENT_LIST_DIR}/package_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/package_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/name_compare_${KOVA_PACKAGE_PLATFORM}.cpp)
target_link_libraries(kova_package PUBLIC kova_he3 kova_common)

# Fuzz builds instrument the parsers themselves, not only the entry points,
# so that libFuzzer sees their coverage.
if(KOVA_FUZZ)
  foreach(t kova_he3 kova_package)
    target_compile_options(${t} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endforeach()
endif()

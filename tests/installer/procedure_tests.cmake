# Install and uninstall procedures against the in-memory platform.
kova_test(install_procedure_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/install_procedure_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/install_helpers_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/uninstall_procedure_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/install_package_source_test.cpp
  LIBS kova_uninstall_core kova_install_core)

# The install steps (portable: the procedure, its helpers, the package as
# the install step reads it) and the Win32 platform they run on, shared by
# Instalador and Desinstalar.
add_library(kova_install_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cstack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_helpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_procedure.cpp
  ${CMAKE_CURRENT_LIST_DIR}/package_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_record.cpp)
target_include_directories(kova_install_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kova_install_core PUBLIC kova_package kova_he3 kova_common)

if(WIN32)
  # version.dll is loaded at run time from the system folder, not imported.
  add_library(kova_install_win32 STATIC ${CMAKE_CURRENT_LIST_DIR}/install_platform_win32.cpp)
  target_link_libraries(kova_install_win32 PUBLIC kova_install_core
    shell32 ole32 oleaut32 uuid advapi32)
endif()

# The install procedure, its helpers and the page rules (portable), the
# Win32 platform layer, and the Instalador program.
add_library(kova_install_core STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/install_helpers.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/install_procedure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/package_source.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/wizard_flow.cpp)
target_include_directories(kova_install_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kova_install_core PUBLIC kova_package kova_he3 kova_common)

if(WIN32)
  # The system side shared by Instalador and Desinstalar: the platform
  # layer and the wizard window. version.dll is loaded at run time from the
  # system folder, not imported.
  add_library(kova_install_win32 STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/install_platform_win32.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/wizard_window_win32.cpp)
  target_link_libraries(kova_install_win32 PUBLIC kova_install_core
    comctl32 shell32 ole32 oleaut32 uuid advapi32)

  # Pads a program image to the size the package layout reserves for it.
  function(kova_pad_image target size)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -DIMAGE=$<TARGET_FILE:${target}> -DSIZE=${size}
              -P ${CMAKE_SOURCE_DIR}/Instalador/pad_image.cmake
      VERBATIM)
  endfunction()

  add_executable(Instalador WIN32
    ${CMAKE_CURRENT_SOURCE_DIR}/frm_main_win32.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/instalador.rc)
  target_link_libraries(Instalador PRIVATE kova_install_win32)
  target_link_options(Instalador PRIVATE -municode)
  kova_pad_image(Instalador 409600)
endif()

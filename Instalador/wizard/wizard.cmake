# The page and button rules (portable), the window both wizards share, and
# the Instalador program.
add_library(kova_wizard STATIC ${CMAKE_CURRENT_LIST_DIR}/wizard_flow.cpp)
target_include_directories(kova_wizard PUBLIC ${CMAKE_SOURCE_DIR})

if(WIN32)
  add_library(kova_wizard_win32 STATIC ${CMAKE_CURRENT_LIST_DIR}/wizard_window_win32.cpp)
  target_link_libraries(kova_wizard_win32 PUBLIC kova_wizard kova_install_win32 comctl32)

  add_executable(Instalador WIN32
    ${CMAKE_CURRENT_LIST_DIR}/frm_main_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instalador.rc)
  target_link_libraries(Instalador PRIVATE kova_wizard_win32)
  target_link_options(Instalador PRIVATE -municode)
  kova_pad_image(Instalador kInstallerImageSize)
endif()

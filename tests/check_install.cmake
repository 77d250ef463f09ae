# Installs into a scratch directory and checks that desktops will find the program: the binary,
# a valid .desktop entry and the icon where icon themes look.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}/usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file bin/helicoid share/applications/helicoid.desktop
             share/icons/hicolor/32x32/apps/helicoid.xpm share/pixmaps/helicoid.xpm)
  if(NOT EXISTS ${STAGE}/usr/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
execute_process(COMMAND ${VALIDATE} ${STAGE}/usr/share/applications/helicoid.desktop
                RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR NOT said STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${said}")
endif()

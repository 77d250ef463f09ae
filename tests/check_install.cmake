# Installs into a scratch directory and checks that desktops and software centres will find the
# program: the binary, a valid .desktop entry, theme icons of the size their folder names, valid
# AppStream metainfo and the manual page.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}/usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file bin/helicoid share/applications/helicoid.desktop share/pixmaps/helicoid.xpm
             share/metainfo/org.example.helicoid.metainfo.xml share/man/man6/helicoid.6.gz
             share/doc/helicoid/copyright)
  if(NOT EXISTS ${STAGE}/usr/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# A PNG's width and height are the big-endian words at bytes 16 and 20.
file(GLOB icons RELATIVE ${STAGE}/usr/share/icons/hicolor ${STAGE}/usr/share/icons/hicolor/*/apps/helicoid.png)
list(LENGTH icons count)
if(count LESS 4)
  message(FATAL_ERROR "only ${count} theme icons: ${icons}")
endif()
foreach(icon IN LISTS icons)
  file(READ ${STAGE}/usr/share/icons/hicolor/${icon} header LIMIT 8 OFFSET 16 HEX)
  string(SUBSTRING "${header}" 0 8 w)
  string(SUBSTRING "${header}" 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  if(NOT icon MATCHES "^${w}x${h}/" OR NOT w EQUAL h)
    message(FATAL_ERROR "${icon} is ${w} by ${h} pixels")
  endif()
endforeach()

execute_process(COMMAND ${VALIDATE} ${STAGE}/usr/share/applications/helicoid.desktop
                RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR NOT said STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${said}")
endif()
# --no-net: the homepage and screenshot URLs are not fetched.
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --pedantic
                        ${STAGE}/usr/share/metainfo/org.example.helicoid.metainfo.xml
                RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${said}")
endif()

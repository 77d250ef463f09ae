# What a user installs: the Debian package of the native program and the zip of the Windows
# program, both through CPack (`cmake --build --preset release --target package`, or the mingw
# preset), and the version record and manifest the Windows program carries. Every version number
# here comes from project(VERSION).

# Bump the date with the version: it is the release date in the AppStream release entry, the
# manual page and the Debian changelog.
set(HELICOID_RELEASE_DATE 2026-12-07)
set(HELICOID_COPYRIGHT_YEARS "2026 The helicoid authors")
set(HELICOID_COPYRIGHT "Copyright (c) ${HELICOID_COPYRIGHT_YEARS}")
set(HELICOID_MAINTAINER "The helicoid authors <helicoid-viewer@example.org>")
# Where the sources are published; the screenshot is the README's picture there.
set(HELICOID_HOMEPAGE "https://example.org/helicoid")
set(HELICOID_SCREENSHOT_URL "${HELICOID_HOMEPAGE}/docs/helicoid.png")
set(HELICOID_APPSTREAM_ID org.example.helicoid)

set(packaging_dir ${CMAKE_BINARY_DIR}/packaging)
set(res ${PROJECT_SOURCE_DIR}/res)

set(CPACK_PACKAGE_NAME helicoid)
set(CPACK_PACKAGE_VENDOR "The helicoid authors")
set(CPACK_PACKAGE_CONTACT "${HELICOID_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "OpenGL demo: turn a lit helicoid with the mouse")
set(CPACK_PACKAGE_HOMEPAGE_URL "${HELICOID_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git/" "/\\\\.cache/")

if(WIN32)
  # ---- The Windows program's resources and its zip -----------------------------------------
  configure_file(${res}/helicoid_version.h.in ${packaging_dir}/helicoid_version.h @ONLY)
  target_include_directories(helicoid PRIVATE ${packaging_dir})
  # The resource compiler reports no dependencies of its own.
  set_source_files_properties(${res}/helicoid.rc PROPERTIES OBJECT_DEPENDS
    "${packaging_dir}/helicoid_version.h;${res}/helicoid.manifest;${res}/helicoid.ico")
  if(MSVC)
    # The linker would add a second manifest resource of its own.
    target_link_options(helicoid PRIVATE /MANIFEST:NO)
  endif()

  # Notepad before Windows 10 1809 shows LF-only text as one line.
  configure_file(${res}/README-windows.txt.in ${packaging_dir}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${packaging_dir}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS helicoid RUNTIME DESTINATION .)
  install(FILES ${packaging_dir}/README.txt ${packaging_dir}/LICENSE.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  # One folder inside the zip, named like the zip.
  set(CPACK_PACKAGE_FILE_NAME helicoid-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  # ---- The native program's installation and its Debian package ------------------------------
  include(GNUInstallDirs)
  # Debian wants 0755 directories whatever the umask of the one who builds.
  set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  install(TARGETS helicoid RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${res}/helicoid.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${res}/helicoid.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps)

  # Theme icons at the sizes desktops ask for, drawn by the icon generator at each size.
  set(icon_files)
  foreach(side 16 24 32 48 64 128 256)
    set(png ${packaging_dir}/icons/${side}x${side}/helicoid.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_dir}/icons/${side}x${side}
      COMMAND helicoid-gen-icon --png ${side} ${png}
      DEPENDS helicoid-gen-icon VERBATIM)
    list(APPEND icon_files ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
  endforeach()
  add_custom_target(helicoid_theme_icons ALL DEPENDS ${icon_files})

  configure_file(${res}/helicoid.metainfo.xml.in
                 ${packaging_dir}/${HELICOID_APPSTREAM_ID}.metainfo.xml @ONLY)
  install(FILES ${packaging_dir}/${HELICOID_APPSTREAM_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # Debian's changelog wants the date as RFC 2822 says, weekday included: days since 1970 by the
  # civil calendar, then string(TIMESTAMP), which reads its time from SOURCE_DATE_EPOCH.
  string(REGEX MATCH "^([0-9]+)-0?([0-9]+)-0?([0-9]+)$" matched "${HELICOID_RELEASE_DATE}")
  set(year ${CMAKE_MATCH_1})
  set(month ${CMAKE_MATCH_2})
  set(day ${CMAKE_MATCH_3})
  if(month LESS_EQUAL 2) # count years from March, so that the leap day ends the year
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR days "${year} * 365 + ${year} / 4 - ${year} / 100 + ${year} / 400
                  + (153 * ${month} + 2) / 5 + ${day} - 1 - 719468")
  set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
  math(EXPR epoch "${days} * 86400")
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  string(TIMESTAMP HELICOID_RELEASE_DATE_RFC2822 "%a, %d %b %Y 00:00:00 +0000" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")

  # The licence as a paragraph of the machine-readable copyright file: the text below the
  # copyright line, indented, with "." for the blank lines.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
  string(REGEX REPLACE "^.*\nCopyright [^\n]*\n\n" "" license "${license}")
  string(REGEX REPLACE "\n+$" "" license "${license}")
  string(REPLACE "\n\n" "\n.\n" license "${license}")
  string(REPLACE "\n" "\n " HELICOID_LICENSE_PARAGRAPHS " ${license}")
  configure_file(${res}/debian/copyright.in ${packaging_dir}/copyright @ONLY)
  install(FILES ${packaging_dir}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

  # Manual page and changelog go compressed, without name or time in the gzip header, so that
  # the same sources give the same package.
  find_program(GZIP gzip REQUIRED)
  configure_file(${res}/helicoid.6.in ${packaging_dir}/helicoid.6 @ONLY)
  configure_file(${res}/debian/changelog.in ${packaging_dir}/changelog @ONLY)
  foreach(file helicoid.6 changelog)
    execute_process(COMMAND ${GZIP} -9nc INPUT_FILE ${packaging_dir}/${file}
                    OUTPUT_FILE ${packaging_dir}/${file}.gz COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  install(FILES ${packaging_dir}/helicoid.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${packaging_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Lines under 80 characters, as Debian's package tools show them unwrapped.
  set(CPACK_PACKAGE_DESCRIPTION_FILE ${res}/debian/description)
  # Libraries from what the program links, as dpkg-shlibdeps finds them; and libGL, which SDL
  # opens at run time for GLX, so that no linked library names it (libgl1 brings Mesa's GLX).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
  # The start-up box: SDL tries zenity first, then its own X11 box, which draws with an X core
  # font that only a font package gives the X server. Without either the program still runs and
  # the box's text goes to stderr, so this is a recommendation, not a dependency.
  # On Wayland the window's title bar is the program's own, drawn by libdecor's plugin; without
  # it SDL makes a window with no frame, which cannot be moved or closed with the mouse.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base | zenity, libdecor-0-plugin-1-cairo")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)

# The installed layout: a self-contained, relocatable program folder
# PREFIX/lib/corvellin-photo (programs, pic/, Languages/, help.html) with links
# in PREFIX/bin. The programs find their data beside their resolved file.
set(CORVELLIN_PROGRAM_FOLDER lib/corvellin-photo)

install(TARGETS corvellin corvellin-fx RUNTIME DESTINATION ${CORVELLIN_PROGRAM_FOLDER})
install(DIRECTORY ${CORVELLIN_BIN_DIR}/pic DESTINATION ${CORVELLIN_PROGRAM_FOLDER}
        PATTERN ".generated" EXCLUDE)
install(DIRECTORY ${CORVELLIN_BIN_DIR}/Languages DESTINATION ${CORVELLIN_PROGRAM_FOLDER} OPTIONAL)
install(FILES ${CORVELLIN_BIN_DIR}/help.html DESTINATION ${CORVELLIN_PROGRAM_FOLDER} OPTIONAL)
install(CODE [[
  set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(MAKE_DIRECTORY "${bin}")
  foreach(program corvellin corvellin-fx)
    file(REMOVE "${bin}/${program}")
    file(CREATE_LINK "../lib/corvellin-photo/${program}" "${bin}/${program}" SYMBOLIC)
  endforeach()
]])

# The desktop entry offers the editor for every picture type it reads; the
# list is CORVELLIN_READ_MIME_TYPES (cmake/PictureTypes.cmake).
include(${CMAKE_SOURCE_DIR}/cmake/PictureTypes.cmake)
list(JOIN CORVELLIN_READ_MIME_TYPES ";" CORVELLIN_DESKTOP_MIME_TYPES)
set(CORVELLIN_DESKTOP_MIME_TYPES "${CORVELLIN_DESKTOP_MIME_TYPES};")
set(CORVELLIN_DESKTOP_FILE ${CMAKE_BINARY_DIR}/desktop/corvellin-photo.desktop)
configure_file(${CMAKE_SOURCE_DIR}/data/desktop/corvellin-photo.desktop.in ${CORVELLIN_DESKTOP_FILE} @ONLY)
install(FILES ${CORVELLIN_DESKTOP_FILE} DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/io.corvellin.PhotoEditor.metainfo.xml DESTINATION share/metainfo)
# Manual pages are installed compressed, as Debian keeps them.
find_program(CORVELLIN_GZIP gzip REQUIRED)
set(CORVELLIN_MAN_PAGES)
foreach(page corvellin.1 corvellin-fx.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CORVELLIN_GZIP} -9 -n -c ${CMAKE_SOURCE_DIR}/data/desktop/${page} > ${compressed}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/desktop/${page}
    VERBATIM)
  list(APPEND CORVELLIN_MAN_PAGES ${compressed})
endforeach()
add_custom_target(manpages ALL DEPENDS ${CORVELLIN_MAN_PAGES})
install(FILES ${CORVELLIN_MAN_PAGES} DESTINATION share/man/man1)
# The package's documentation folder: the copyright notice and the changelog.
configure_file(${CMAKE_SOURCE_DIR}/data/package/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
set(CORVELLIN_CHANGELOG ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(
  OUTPUT ${CORVELLIN_CHANGELOG}
  COMMAND ${CORVELLIN_GZIP} -9 -n -c ${CMAKE_BINARY_DIR}/doc/changelog > ${CORVELLIN_CHANGELOG}
  DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${CORVELLIN_CHANGELOG})
install(FILES ${CMAKE_SOURCE_DIR}/data/package/copyright ${CORVELLIN_CHANGELOG} DESTINATION share/doc/corvellin-photo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons PATTERN ".painted" EXCLUDE)

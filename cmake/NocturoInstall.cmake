# The system-wide install (`cmake --install build --prefix /usr`, DESTDIR
# honoured) and the Debian package (`cpack -G DEB` in the build tree).
# What goes where is written down in docs/install.md.
include_guard()

set(NOCTURO_HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
set(NOCTURO_LOCKER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xsecurelock)
set(NOCTURO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/nocturo)
set(NOCTURO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/nocturo)
set(NOCTURO_MAN_DIR ${CMAKE_INSTALL_MANDIR}/man1)
set(NOCTURO_LINUX_DIR ${CMAKE_SOURCE_DIR}/resources/linux)
set(NOCTURO_INSTALL_STAGE ${CMAKE_BINARY_DIR}/install-stage)

# The saver under the name xscreensaver and its settings program look for;
# Nocturo.scr in the path is a link to it.
# (Installed as a target, so that a stripping install strips it, then renamed.)
install(TARGETS nocturo_scr RUNTIME DESTINATION ${NOCTURO_HACK_DIR})
install(CODE "
    file(RENAME \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${NOCTURO_HACK_DIR}/Nocturo.scr\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${NOCTURO_HACK_DIR}/nocturo\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${NOCTURO_HACK_DIR}/nocturo
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/Nocturo.scr\" SYMBOLIC)")
install(TARGETS nocturo-sky nocturo-snapshot nocturo-settings
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${NOCTURO_LINUX_DIR}/nocturo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${NOCTURO_LINUX_DIR}/nocturo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
install(PROGRAMS ${NOCTURO_LINUX_DIR}/saver_nocturo DESTINATION ${NOCTURO_LOCKER_DIR})

# The pictures (made at build time) and the city files, when the tree has them.
install(FILES ${CMAKE_BINARY_DIR}/resources/moon_2048x1024.bmp
              ${CMAKE_BINARY_DIR}/resources/moon_256x128.bmp DESTINATION ${NOCTURO_DATA_DIR})
foreach(cities town_en town_ru)
    if(EXISTS ${CMAKE_SOURCE_DIR}/resources/${cities})
        install(FILES ${CMAKE_SOURCE_DIR}/resources/${cities} DESTINATION ${NOCTURO_DATA_DIR})
    endif()
endforeach()

# Manual pages, compressed as Debian wants them; Nocturo.scr(1) is nocturo(1).
set(NOCTURO_MAN_PAGES nocturo nocturo-sky nocturo-snapshot nocturo-settings)
set(NOCTURO_MAN_OUTPUTS)
foreach(page ${NOCTURO_MAN_PAGES})
    set(source ${CMAKE_SOURCE_DIR}/resources/man/${page}.1)
    set(output ${NOCTURO_INSTALL_STAGE}/${page}.1.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${NOCTURO_INSTALL_STAGE}
        COMMAND gzip -9nc ${source} > ${output}
        DEPENDS ${source} VERBATIM)
    list(APPEND NOCTURO_MAN_OUTPUTS ${output})
endforeach()
install(FILES ${NOCTURO_MAN_OUTPUTS} DESTINATION ${NOCTURO_MAN_DIR})
install(CODE "
    file(CREATE_LINK nocturo.1.gz
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${NOCTURO_MAN_DIR}/Nocturo.scr.1.gz\" SYMBOLIC)")

# The package's copyright and changelog.
set(NOCTURO_CHANGELOG ${NOCTURO_INSTALL_STAGE}/changelog.gz)
add_custom_command(OUTPUT ${NOCTURO_CHANGELOG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NOCTURO_INSTALL_STAGE}
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/resources/linux/changelog > ${NOCTURO_CHANGELOG}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/linux/changelog VERBATIM)
install(FILES ${NOCTURO_LINUX_DIR}/copyright ${NOCTURO_CHANGELOG} DESTINATION ${NOCTURO_DOC_DIR})
add_custom_target(install_files ALL DEPENDS ${NOCTURO_MAN_OUTPUTS} ${NOCTURO_CHANGELOG})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nocturo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Nocturo developers")
set(CPACK_PACKAGE_CONTACT "Nocturo developers <nocturo@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xsecurelock)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Nocturo draws the Moon as a lit sphere over a field of twinkling stars. Its
phase and the tilt of its bright limb follow the true direction of the Sun
for the observer's place at the current moment, and the times of moonrise,
moonset, sunrise and sunset are shown over the picture.

The package installs the saver for xscreensaver and its settings program,
a saver module for xsecurelock, a screensaver entry for MATE and the tools
nocturo-sky, nocturo-snapshot and nocturo-settings.")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D Moon screen saver")
include(CPack)

# The Debian package: `cmake --build <dir> --target package` in a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr (the tests off keeps their files out). Dependencies come
# from the binary (dpkg-shlibdeps), the version from the project.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorel-oradesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quorel Oradesk maintainers <oradesk@quorel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion app for Quorel game controllers")
set(CPACK_PACKAGE_DESCRIPTION
    "Configures the three on-board profiles of Quorel USB game controllers and their\n"
    "2.4 GHz dongles (button mapping, turbo, sticks, triggers, vibration, lighting),\n"
    "keeps profiles as files, tests buttons, sticks, triggers and motors, runs the\n"
    "guided calibration and updates the firmware of the controller or dongle.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quorel.invalid/oradesk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/postinst ${CMAKE_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)

# What Debian expects in every package's documentation directory.
set(doc share/doc/quorel-oradesk)
set(changelog ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
set(manpages ${CMAKE_BINARY_DIR}/quorel-oradesk.1.gz ${CMAKE_BINARY_DIR}/quorel-oradesk-cli.1.gz)
add_custom_command(OUTPUT ${changelog} ${manpages}
    COMMAND gzip -n -9 -c ${CMAKE_SOURCE_DIR}/packaging/changelog.Debian > ${changelog}
    COMMAND gzip -n -9 -c ${CMAKE_SOURCE_DIR}/packaging/quorel-oradesk.1
            > ${CMAKE_BINARY_DIR}/quorel-oradesk.1.gz
    COMMAND gzip -n -9 -c ${CMAKE_SOURCE_DIR}/packaging/quorel-oradesk-cli.1
            > ${CMAKE_BINARY_DIR}/quorel-oradesk-cli.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog.Debian
            ${CMAKE_SOURCE_DIR}/packaging/quorel-oradesk.1
            ${CMAKE_SOURCE_DIR}/packaging/quorel-oradesk-cli.1)
add_custom_target(debian_docs ALL DEPENDS ${changelog} ${manpages})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${changelog} DESTINATION ${doc})
install(FILES ${manpages} DESTINATION share/man/man1)

include(CPack)

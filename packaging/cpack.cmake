# `make deb`: the Debian package, built by CPack from the install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME coffret)
set(CPACK_PACKAGE_VENDOR Mervale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "archiver for password-protected packages, zip, 7z and tar")
# Debian shows the description as it stands: lines of at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Coffret packs files into its own encrypted package format (.cfr, a zip
holding one AES-256-encrypted zip), zip with or without AES-256, 7z, tar and
compressed tar, and unpacks all of those and rar. It keeps a vault of the
packages it made, with their passwords, behind a master password, and adds
pack and unpack actions to the Thunar file manager.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${COFFRET_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${COFFRET_PROJECT_URL}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links (Qt, libarchive, libzip, OpenSSL) come from dpkg-shlibdeps;
# the QML modules it loads are added by qml_depends.cmake when the package is made.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS p7zip-full)
# No maintainer scripts: Debian's triggers refresh the MIME, desktop and icon caches.

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/qml_depends.cmake)
set(CPACK_COFFRET_QML_SOURCES ${CMAKE_SOURCE_DIR}/qml)
get_target_property(qmake Qt5::qmake IMPORTED_LOCATION)
execute_process(COMMAND ${qmake} -query QT_INSTALL_QML OUTPUT_VARIABLE CPACK_COFFRET_QML_MODULES
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

include(CPack)

# The Debian package of the app (see the README): `cpack -G DEB` in a build folder.
# The shared libraries' packages are found by dpkg-shlibdeps; the QML modules and the SVG and
# platform plugins are loaded at run time, so they are named here. The development server and
# the project's tools have no install rules and stay out of the package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvorin)
set(CPACK_PACKAGE_VENDOR "The Kalvorin client developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Help-desk tickets client (Arabic, right to left)")
set(CPACK_PACKAGE_DESCRIPTION
    "The phone client of an organisation's help-desk server: sign in, follow tickets, act on them, raise new ones and receive the server's notifications. For Linux phones and desktops.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Kalvorin client developers <kalvorin@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtqml, qml6-module-qtqml-workerscript, qml6-module-qtquick, qml6-module-qtquick-window, qml6-module-qtquick-templates, qml6-module-qtquick-controls, qml6-module-qtquick-layouts, qml6-module-qtquick-shapes, qml6-module-qtquick-dialogs, qml6-module-qt-labs-folderlistmodel, libqt6svg6, shared-mime-info, libcurl4, fonts-noto-color-emoji")
# Phones run Wayland; Arabic platform texts come from Qt's translations. Emoji typed in a
# comment need a colour emoji font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
include(CPack)

# make package: a Debian package of the installed tree (the same files as
# `cmake --install --prefix /usr`). dpkg-shlibdeps finds the libraries'
# packages; what the program loads or runs by name is declared here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvellin-photo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Corvellin Photo developers <packages@corvellin.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo effects editor with light, star, sketch and frame effects")
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Corvellin Photo Editor opens a JPEG or BMP picture and offers fifteen effect
categories of ten variations each, shown as thumbnails of the photo. A click
previews a variation, Apply keeps it, Undo and Redo walk the history. The
result is saved at the resolution of the opened file, printed, shown full
screen or set as the desktop wallpaper. corvellin-fx applies the same effects
from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Qt draws every text with a font found by fontconfig; the Chinese and
# Japanese translations need CJK glyphs, so that font is a dependency; the
# Wayland plug-in lets the window open natively there. The wallpaper reads the desktop's
# GSettings schemas, and Help and the web links open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core | fonts-freefont-ttf, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, gsettings-desktop-schemas, xdg-utils")
include(CPack)

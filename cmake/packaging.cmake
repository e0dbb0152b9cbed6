# Installation layout and the Debian package. Included at the end of the top-level
# CMakeLists.txt, after every target exists.
#
#   cmake --install build --prefix ~/.local      installs into a prefix
#   (cd build && cpack -G DEB)                   makes lexbin_<version>_<arch>.deb
#
# Installed from the package, the program lives in /usr/bin, which users may not write to:
# its data file then goes to $XDG_DATA_HOME/Lexbin/LexbinDB.txt (~/.local/share/Lexbin).

include(GNUInstallDirs)

set(LEXBIN_RESOURCES ${PROJECT_SOURCE_DIR}/resources)

install(TARGETS lexbin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# qt_standard_project_setup() gives executables the install RPATH $ORIGIN:$ORIGIN/../lib, for
# a Qt shipped beside the program. Lexbin uses the system Qt and no shared library of its
# own: the installed program gets no RPATH (Debian forbids a custom search path in /usr/bin).
set_target_properties(lexbin PROPERTIES INSTALL_RPATH "")

# The desktop entry is named after the program: QGuiApplication::setDesktopFileName("lexbin")
# ties the window to lexbin.desktop, and the AppStream file launches the same desktop id.
install(FILES ${LEXBIN_RESOURCES}/desktop/lexbin.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LEXBIN_RESOURCES}/desktop/org.example.lexbin.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN ITEMS 16 32)
    install(FILES ${LEXBIN_RESOURCES}/icons/lexbin-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME lexbin.png)
endforeach()

# ---------------------------------------------------------------------------------------
# CPack: one Debian package.
#
# Version: the program calls itself 1.02 (major 1, minor 2 shown with two digits). The
# package uses the plain numeric fields major.minor.patch, 1.2.0: dpkg compares digit runs
# as numbers, so the padding zero carries no meaning for it (1.02 and 1.2 compare equal),
# and 1.2.0 < 1.9.0 < 1.10.0 orders later releases as the program numbers them.

if(NOT PROJECT_VERSION_PATCH STREQUAL "")
    set(LEXBIN_PACKAGE_PATCH ${PROJECT_VERSION_PATCH})
else()
    set(LEXBIN_PACKAGE_PATCH 0)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexbin)
set(CPACK_PACKAGE_VENDOR "${LEXBIN_CONTACT_NAME}")
set(CPACK_PACKAGE_CONTACT "${LEXBIN_CONTACT_NAME} <${LEXBIN_CONTACT_ADDRESS}>")
set(CPACK_PACKAGE_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(CPACK_PACKAGE_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_VERSION_PATCH ${LEXBIN_PACKAGE_PATCH})
set(CPACK_PACKAGE_VERSION
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${LEXBIN_PACKAGE_PATCH}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small note taker with a Japanese interface")
# The long description, wrapped by hand (CPack keeps the lines as they are); an empty line
# becomes the " ." paragraph break of the control file.
set(CPACK_PACKAGE_DESCRIPTION
    "Lexbin is a small desktop tool for jotting down short notes. Its single
window holds a text box and three buttons that grade each note as very
important, important or normal.

Ctrl+S appends the note as one line, stamped with the date and time, to a
plain text file (by default ~/.local/share/Lexbin/LexbinDB.txt) and empties
the box; Ctrl+Q stores and quits. The interface is in Japanese.")
# Debian paths, stripped binaries (the build is RelWithDebInfo).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # lexbin_1.2.0_amd64.deb
set(CPACK_DEBIAN_PACKAGE_NAME lexbin)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LEXBIN_CONTACT_NAME} <${LEXBIN_CONTACT_ADDRESS}>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/lexbin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The shared libraries (Qt, libstdc++, libc) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every caption is Japanese: without a font with Japanese glyphs the three grading buttons
# and the menus show empty boxes, so a Japanese font is a dependency, not a suggestion.
# IPA Gothic first (the font the project is tested with, 12 MB installed against 91 MB for
# Noto CJK); any other Japanese gothic font (the virtual package) or Noto CJK does as well.
# CPack appends the shlibdeps result to this list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-japanese-gothic | fonts-noto-cjk")

include(CPack)

# Installation layout and the Debian package. Included at the end of the top-level
# CMakeLists.txt, after every target exists.
#
#   cmake --install build --prefix ~/.local      installs into a prefix
#   (cd build && cpack -G DEB)                   makes lexbin_<version>_<arch>.deb
#
# The data file is never beside the installed program: it goes to
# $XDG_DATA_HOME/Lexbin/LexbinDB.txt (~/.local/share/Lexbin) unless a portable copy holds one.
#
# A distributor sets the names in the package, the AppStream data, the copyright file and
# the error box with three cache settings: LEXBIN_CONTACT_NAME, LEXBIN_CONTACT_ADDRESS and
# LEXBIN_HOMEPAGE (cmake -DLEXBIN_HOMEPAGE=https://... -S . -B build).

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows_packaging.cmake)
    return()
endif()

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
set(LEXBIN_GENERATED ${PROJECT_BINARY_DIR}/packaging)
configure_file(${LEXBIN_RESOURCES}/desktop/org.example.lexbin.metainfo.xml.in
    ${LEXBIN_GENERATED}/org.example.lexbin.metainfo.xml @ONLY)
install(FILES ${LEXBIN_GENERATED}/org.example.lexbin.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The window's own 16-colour images, then the larger theme sizes and the scalable one.
foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES ${LEXBIN_RESOURCES}/icons/lexbin-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME lexbin.png)
endforeach()
install(FILES ${LEXBIN_RESOURCES}/icons/lexbin.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${LEXBIN_RESOURCES}/completion/lexbin
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Manual pages and the changelog compressed as Debian wants them: gzip -9n, no name or time
# stamp inside, so the same sources give the same bytes.
find_program(LEXBIN_GZIP gzip REQUIRED)
configure_file(${LEXBIN_RESOURCES}/debian/copyright ${LEXBIN_GENERATED}/copyright @ONLY)
configure_file(${LEXBIN_RESOURCES}/debian/changelog.in ${LEXBIN_GENERATED}/changelog @ONLY)
set(LEXBIN_COMPRESSED)
foreach(pair IN ITEMS "man/lexbin.1|man/man1/lexbin.1.gz" "man/ja/lexbin.1|man/ja/man1/lexbin.1.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 target)
    add_custom_command(OUTPUT ${LEXBIN_GENERATED}/${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${LEXBIN_GENERATED}/man/man1
                ${LEXBIN_GENERATED}/man/ja/man1
        COMMAND ${LEXBIN_GZIP} -9n -c ${LEXBIN_RESOURCES}/${source} > ${LEXBIN_GENERATED}/${target}
        DEPENDS ${LEXBIN_RESOURCES}/${source}
        VERBATIM)
    list(APPEND LEXBIN_COMPRESSED ${LEXBIN_GENERATED}/${target})
endforeach()
add_custom_command(OUTPUT ${LEXBIN_GENERATED}/changelog.gz
    COMMAND ${LEXBIN_GZIP} -9n -c ${LEXBIN_GENERATED}/changelog > ${LEXBIN_GENERATED}/changelog.gz
    DEPENDS ${LEXBIN_GENERATED}/changelog
    VERBATIM)
add_custom_target(lexbin_docs ALL DEPENDS ${LEXBIN_COMPRESSED} ${LEXBIN_GENERATED}/changelog.gz)
install(FILES ${LEXBIN_GENERATED}/man/man1/lexbin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${LEXBIN_GENERATED}/man/ja/man1/lexbin.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
install(FILES ${LEXBIN_RESOURCES}/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lexbin)
install(FILES ${LEXBIN_GENERATED}/copyright ${LEXBIN_GENERATED}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lexbin)  # the package name, not the project name

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
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LEXBIN_HOMEPAGE}")
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

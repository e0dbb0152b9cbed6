# What a Windows user downloads, built from the cross build (cmake/packaging.cmake includes
# this file instead of the Debian part when WIN32):
#
#   cmake --build build-windows --target windows_zip         lexbin-1.02-windows-x64.zip
#   cmake --build build-windows --target windows_installer   lexbin-1.02-setup.exe (makensis)
#
# Both come from one staged folder, build-windows/windows/lexbin-1.02-windows-x64: the
# program (stripped), the Qt DLLs and plugins it loads, the mingw-w64 run-time DLLs, qt.conf,
# the licence texts and notices. The mingw run-time stays a set of DLLs: the Qt DLLs are
# linked against libstdc++-6, libgcc_s_seh-1 and libwinpthread-1 themselves, so a static
# run-time in lexbin.exe would ship a second copy beside the DLLs, not replace them.
# The zip alone adds an empty LexbinDB.txt: a portable copy keeps its notes beside the
# program; an installed one keeps them in %LOCALAPPDATA%\Lexbin.

set(LEXBIN_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
set(LEXBIN_WINDOWS_RESOURCES ${LEXBIN_RESOURCES}/windows)
# The version as the program shows it: 1.02.
string(LENGTH "${PROJECT_VERSION_MINOR}" minor_length)
if(minor_length LESS 2)
    set(LEXBIN_DISPLAY_VERSION "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
    set(LEXBIN_DISPLAY_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()

set(LEXBIN_WINDOWS_NAME lexbin-${LEXBIN_DISPLAY_VERSION}-windows-x64)
set(LEXBIN_WINDOWS_OUT ${PROJECT_BINARY_DIR}/windows)
set(LEXBIN_WINDOWS_STAGE ${LEXBIN_WINDOWS_OUT}/${LEXBIN_WINDOWS_NAME})
set(LEXBIN_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/${LEXBIN_WINDOWS_NAME}.zip)
set(LEXBIN_WINDOWS_SETUP ${PROJECT_BINARY_DIR}/lexbin-${LEXBIN_DISPLAY_VERSION}-setup.exe)

# Where the parts come from: Qt's prefix (the one find_package used), the compiler's run-time
# folders, Debian's copyright files and licence texts, the kit the Qt was built with.
get_filename_component(LEXBIN_QT_WINDOWS_PREFIX "${Qt6_DIR}/../../.." ABSOLUTE)
set(LEXBIN_WINDOWS_KIT "${PROJECT_SOURCE_DIR}/../shared/windows" CACHE PATH
    "The folder of build-qt.sh and mingw-w64.cmake, shipped with the Qt DLLs")
set(LEXBIN_QT_COPYRIGHT /usr/share/doc/qt6-base-dev/copyright CACHE FILEPATH
    "Debian's copyright file of qt6-base")
set(LEXBIN_MINGW_COPYRIGHT /usr/share/doc/mingw-w64-x86-64-dev/copyright CACHE FILEPATH
    "Debian's copyright file of mingw-w64 (winpthreads)")
set(LEXBIN_GCC_COPYRIGHT /usr/share/doc/gcc-mingw-w64-base/copyright CACHE FILEPATH
    "Debian's copyright file of gcc-mingw-w64 (libstdc++, libgcc)")
set(LEXBIN_COMMON_LICENSES /usr/share/common-licenses)

set(runtime_dlls)
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(path "${path}" REALPATH)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} names no ${dll}")
    endif()
    list(APPEND runtime_dlls ${path})
endforeach()
set(qt_dlls ${LEXBIN_QT_WINDOWS_PREFIX}/bin/Qt6Core.dll ${LEXBIN_QT_WINDOWS_PREFIX}/bin/Qt6Gui.dll
    ${LEXBIN_QT_WINDOWS_PREFIX}/bin/Qt6Widgets.dll)
set(qt_plugins platforms/qwindows.dll styles/qwindowsvistastyle.dll)

# The staged files, relative to the stage; the installer's File and Delete lists come from
# this one list.
set(staged lexbin.exe lexbin.com qt.conf LICENSE.txt)
foreach(dll IN LISTS qt_dlls runtime_dlls)
    get_filename_component(name "${dll}" NAME)
    list(APPEND staged ${name})
endforeach()
list(APPEND staged ${qt_plugins})
set(licenses licenses/LGPL-3.txt licenses/GPL-3.txt licenses/THIRD-PARTY.txt
    licenses/QT-SOURCE.txt licenses/build-qt.sh licenses/mingw-w64.cmake)
list(APPEND staged ${licenses})

configure_file(${LEXBIN_WINDOWS_RESOURCES}/QT-SOURCE.txt.in
    ${LEXBIN_WINDOWS_OUT}/QT-SOURCE.txt @ONLY)
set(stage_commands
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${LEXBIN_WINDOWS_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LEXBIN_WINDOWS_STAGE}/platforms
            ${LEXBIN_WINDOWS_STAGE}/styles ${LEXBIN_WINDOWS_STAGE}/licenses
    COMMAND ${CMAKE_STRIP} -o ${LEXBIN_WINDOWS_STAGE}/lexbin.exe $<TARGET_FILE:lexbin>
    COMMAND ${CMAKE_STRIP} -o ${LEXBIN_WINDOWS_STAGE}/lexbin.com $<TARGET_FILE:lexbin_launcher>
    COMMAND ${CMAKE_COMMAND} -E copy ${qt_dlls} ${LEXBIN_WINDOWS_RESOURCES}/qt.conf
            ${LEXBIN_WINDOWS_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE
            ${LEXBIN_WINDOWS_STAGE}/LICENSE.txt)
# Debian's libstdc++-6.dll keeps its symbols (24 MB; 2 MB without).
foreach(dll IN LISTS runtime_dlls)
    get_filename_component(name "${dll}" NAME)
    list(APPEND stage_commands
        COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${LEXBIN_WINDOWS_STAGE}/${name} ${dll})
endforeach()
foreach(plugin IN LISTS qt_plugins)
    list(APPEND stage_commands COMMAND ${CMAKE_COMMAND} -E copy
        ${LEXBIN_QT_WINDOWS_PREFIX}/plugins/${plugin} ${LEXBIN_WINDOWS_STAGE}/${plugin})
endforeach()
list(APPEND stage_commands
    COMMAND ${CMAKE_COMMAND} -E copy ${LEXBIN_COMMON_LICENSES}/LGPL-3
            ${LEXBIN_WINDOWS_STAGE}/licenses/LGPL-3.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${LEXBIN_COMMON_LICENSES}/GPL-3
            ${LEXBIN_WINDOWS_STAGE}/licenses/GPL-3.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${LEXBIN_WINDOWS_OUT}/QT-SOURCE.txt
            ${LEXBIN_WINDOWS_KIT}/build-qt.sh ${LEXBIN_WINDOWS_KIT}/mingw-w64.cmake
            ${LEXBIN_WINDOWS_STAGE}/licenses
    COMMAND bash ${LEXBIN_WINDOWS_RESOURCES}/notices.sh ${LEXBIN_QT_COPYRIGHT}
            ${LEXBIN_MINGW_COPYRIGHT} ${LEXBIN_GCC_COPYRIGHT}
            > ${LEXBIN_WINDOWS_STAGE}/licenses/THIRD-PARTY.txt
    COMMAND ${CMAKE_COMMAND} -E touch ${LEXBIN_WINDOWS_OUT}/stage.stamp)
add_custom_command(OUTPUT ${LEXBIN_WINDOWS_OUT}/stage.stamp
    ${stage_commands}
    DEPENDS lexbin lexbin_launcher ${LEXBIN_WINDOWS_RESOURCES}/qt.conf ${LEXBIN_WINDOWS_RESOURCES}/notices.sh
            ${LEXBIN_WINDOWS_RESOURCES}/qt_notices.awk ${LEXBIN_WINDOWS_OUT}/QT-SOURCE.txt
            ${PROJECT_SOURCE_DIR}/LICENSE
    COMMENT "Staging ${LEXBIN_WINDOWS_NAME}"
    VERBATIM)

# The zip: the stage plus the empty data file, under one top folder; files dated by the last
# commit's time (SOURCE_DATE_EPOCH when given), so the same tree gives the same archive.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    string(TIMESTAMP zip_time "%Y-%m-%d %H:%M:%S UTC" UTC)  # takes SOURCE_DATE_EPOCH
else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
        git -C ${PROJECT_SOURCE_DIR} log -1 "--date=format-local:%Y-%m-%d %H:%M:%S UTC" --format=%cd
        OUTPUT_VARIABLE zip_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(zip_time STREQUAL "")
    set(zip_time "2026-01-01 00:00:00 UTC")
endif()
add_custom_command(OUTPUT ${LEXBIN_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E touch ${LEXBIN_WINDOWS_STAGE}/LexbinDB.txt
    COMMAND ${CMAKE_COMMAND} -E rm -f ${LEXBIN_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${LEXBIN_WINDOWS_ZIP} --format=zip
            "--mtime=${zip_time}" ${LEXBIN_WINDOWS_NAME}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${LEXBIN_WINDOWS_STAGE}/LexbinDB.txt
    WORKING_DIRECTORY ${LEXBIN_WINDOWS_OUT}
    DEPENDS ${LEXBIN_WINDOWS_OUT}/stage.stamp
    COMMENT "Packing ${LEXBIN_WINDOWS_NAME}.zip"
    VERBATIM)
add_custom_target(windows_zip DEPENDS ${LEXBIN_WINDOWS_ZIP})

# The installer: the stage without LexbinDB.txt (never staged for it), from lexbin.nsi.
find_program(LEXBIN_MAKENSIS makensis)
if(LEXBIN_MAKENSIS)
    set(files_nsh ${LEXBIN_WINDOWS_OUT}/files.nsh)
    set(unfiles_nsh ${LEXBIN_WINDOWS_OUT}/unfiles.nsh)
    set(file_lines)
    set(delete_lines)
    set(folders)
    foreach(file IN LISTS staged)
        get_filename_component(folder "${file}" DIRECTORY)
        string(REPLACE "/" "\\" windows_file "${file}")
        string(REPLACE "/" "\\" windows_folder "${folder}")
        if(folder STREQUAL "")
            string(APPEND file_lines "SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND file_lines "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
            list(APPEND folders ${windows_folder})
        endif()
        string(APPEND file_lines "File \"${LEXBIN_WINDOWS_STAGE}/${file}\"\n")
        string(APPEND delete_lines "Delete \"$INSTDIR\\${windows_file}\"\n")
    endforeach()
    list(REMOVE_DUPLICATES folders)
    foreach(folder IN LISTS folders)
        string(APPEND delete_lines "RMDir \"$INSTDIR\\${folder}\"\n")
    endforeach()
    set(generated "; Generated by cmake/windows_packaging.cmake\n")
    file(WRITE ${files_nsh} "${generated}${file_lines}SetOutPath \"$INSTDIR\"\n")
    file(WRITE ${unfiles_nsh} "${generated}${delete_lines}")
    add_custom_command(OUTPUT ${LEXBIN_WINDOWS_SETUP}
        COMMAND ${LEXBIN_MAKENSIS} -V2 -NOCD
                -DVERSION=${LEXBIN_DISPLAY_VERSION} "-DPUBLISHER=${LEXBIN_CONTACT_NAME}"
                -DHOMEPAGE=${LEXBIN_HOMEPAGE} -DOUTFILE=${LEXBIN_WINDOWS_SETUP}
                -DICON=${LEXBIN_RESOURCES}/icons/lexbin.ico
                -DFILES=${files_nsh} -DUNFILES=${unfiles_nsh}
                ${LEXBIN_WINDOWS_RESOURCES}/lexbin.nsi
        DEPENDS ${LEXBIN_WINDOWS_OUT}/stage.stamp ${LEXBIN_WINDOWS_RESOURCES}/lexbin.nsi
                ${files_nsh} ${unfiles_nsh}
        COMMENT "Making lexbin-${LEXBIN_DISPLAY_VERSION}-setup.exe"
        VERBATIM)
    add_custom_target(windows_installer DEPENDS ${LEXBIN_WINDOWS_SETUP})
else()
    message(STATUS "makensis not found: no windows_installer target (apt-get install nsis)")
endif()

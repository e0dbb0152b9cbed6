# The Windows tests under Wine (included by tests/CMakeLists.txt in the Windows build). CTest
# runs each test program through wine_test.sh, its CROSSCOMPILING_EMULATOR, with the Qt and
# mingw-w64 run-time DLLs on WINEPATH; all of them share one Wine prefix in the build folder,
# which the fixture test wine_prefix makes once before the first of them.
set(LEXBIN_WINE_TEST ${CMAKE_CURRENT_LIST_DIR}/wine_test.sh)
set(LEXBIN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
get_filename_component(LEXBIN_QT_WINDOWS_PREFIX "${Qt6_DIR}/../../.." ABSOLUTE)
# The folders of the mingw-w64 run-time DLLs, from the compiler itself.
set(LEXBIN_WINE_DLL_FOLDERS ${LEXBIN_QT_WINDOWS_PREFIX}/bin)
foreach(dll IN ITEMS libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(folder "${path}" DIRECTORY)
    get_filename_component(folder "${folder}" REALPATH)
    list(APPEND LEXBIN_WINE_DLL_FOLDERS ${folder})
endforeach()
list(JOIN LEXBIN_WINE_DLL_FOLDERS ":" LEXBIN_WINE_DLL_PATH)
set(LEXBIN_WINE_ENVIRONMENT
    "LEXBIN_WINE_PREFIX=${LEXBIN_WINE_PREFIX}"
    "LEXBIN_WINE_DLL_PATH=${LEXBIN_WINE_DLL_PATH}"
    "LEXBIN_QT_PLUGINS=${LEXBIN_QT_WINDOWS_PREFIX}/plugins")

add_test(NAME wine_prefix COMMAND bash ${LEXBIN_WINE_TEST} --make-prefix)
set_tests_properties(wine_prefix PROPERTIES
    FIXTURES_SETUP wine ENVIRONMENT "${LEXBIN_WINE_ENVIRONMENT}" TIMEOUT 300)

# lexbin_run_under_wine(<test>): the test of the same-named program runs under Wine.
function(lexbin_run_under_wine name)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR bash ${LEXBIN_WINE_TEST})
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT ${LEXBIN_WINE_ENVIRONMENT})
    set_property(TEST ${name} PROPERTY FIXTURES_REQUIRED wine)
endfunction()

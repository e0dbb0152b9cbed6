# The sanitizer build (LEXBIN_SANITIZE=ON): AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer in every target, and any report a test or a program that a test
# starts makes fails the test run. Included by the top-level CMakeLists.txt before the sources.

set(LEXBIN_SANITIZE_FLAGS
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
add_compile_options(${LEXBIN_SANITIZE_FLAGS})
add_link_options(${LEXBIN_SANITIZE_FLAGS})

# Every report goes to a file in this folder, whatever the environment of the program that
# makes it: the end-to-end scripts start the program under `env -i`, which drops ASAN_OPTIONS.
set(LEXBIN_SANITIZER_REPORTS ${PROJECT_BINARY_DIR}/sanitizer-reports)
set(LEXBIN_LSAN_SUPPRESSIONS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp)
find_program(LEXBIN_LLVM_SYMBOLIZER NAMES llvm-symbolizer llvm-symbolizer-14)
if(LEXBIN_LLVM_SYMBOLIZER)
    set(LEXBIN_SYMBOLIZER_OPTION ":external_symbolizer_path=${LEXBIN_LLVM_SYMBOLIZER}")
else()
    set(LEXBIN_SYMBOLIZER_OPTION "")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.cpp.in
    ${PROJECT_BINARY_DIR}/generated/sanitizer_defaults.cpp @ONLY)

# lexbin_sanitizer_defaults_in(DIR): compiles the run-time defaults into every executable
# defined in DIR and below, except those marked LEXBIN_OWN_SANITIZER_OPTIONS (the fuzz
# targets, whose reports belong on their own output).
function(lexbin_sanitizer_defaults_in dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(own ${target} LEXBIN_OWN_SANITIZER_OPTIONS)
        if(type STREQUAL "EXECUTABLE" AND NOT own)
            target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/generated/sanitizer_defaults.cpp)
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        lexbin_sanitizer_defaults_in(${subdir})
    endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR}
    CALL lexbin_sanitizer_defaults_in ${PROJECT_SOURCE_DIR})

# lexbin_require_report_check(): every test of the calling directory requires the fixture
# that empties the report folder before the tests and fails on any report in it after them.
# Called deferred, at the end of each directory that defines tests.
function(lexbin_require_report_check)
    get_property(tests DIRECTORY PROPERTY TESTS)
    list(REMOVE_ITEM tests sanitizer_reports_clear sanitizer_reports_none)
    if(NOT tests)
        return()
    endif()
    get_property(defined GLOBAL PROPERTY LEXBIN_REPORT_CHECK_DEFINED)
    set(check ${PROJECT_SOURCE_DIR}/tests/sanitizers/sanitizer_reports.sh)
    if(NOT defined)
        set_property(GLOBAL PROPERTY LEXBIN_REPORT_CHECK_DEFINED TRUE)
        add_test(NAME sanitizer_reports_clear
            COMMAND bash ${check} clear ${LEXBIN_SANITIZER_REPORTS})
        add_test(NAME sanitizer_reports_none
            COMMAND bash ${check} check ${LEXBIN_SANITIZER_REPORTS})
        set_tests_properties(sanitizer_reports_clear PROPERTIES
            FIXTURES_SETUP lexbin_sanitizer_reports)
        set_tests_properties(sanitizer_reports_none PROPERTIES
            FIXTURES_CLEANUP lexbin_sanitizer_reports)
    endif()
    foreach(test IN LISTS tests)
        set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED lexbin_sanitizer_reports)
    endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL lexbin_require_report_check)

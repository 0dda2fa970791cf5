# nocturo_add_tests(NAME name LABEL unit|gl|display SOURCES ... LIBRARIES ...
#                   [PROPERTIES prop value ...])
#
# One GoogleTest executable per group of related tests; every case is
# registered with CTest under the label that says what it needs:
#   unit     nothing but the process (also run in the sanitizer build)
#   gl       an offscreen GL context through EGL on Mesa
#   display  a real X display (the test command provides Xvfb)
function(nocturo_add_tests)
    cmake_parse_arguments(ARG "" "NAME;LABEL" "SOURCES;LIBRARIES;PROPERTIES" ${ARGN})
    if(NOT ARG_LABEL MATCHES "^(unit|gl|display)$")
        message(FATAL_ERROR "nocturo_add_tests(${ARG_NAME}): LABEL must be unit, gl or display")
    endif()
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
    target_compile_definitions(${ARG_NAME} PRIVATE
        NOCTURO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" NOCTURO_BINARY_DIR="${CMAKE_BINARY_DIR}")
    # No test reads or writes the settings of the person running them: the
    # store defaults to an empty folder of the build tree; tests that need
    # settings make their own temporary store (a test's own ENVIRONMENT
    # property replaces this one). Nor do they find pictures a user installed:
    # the user's data folder is an empty one of the build tree.
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${ARG_LABEL}
        ENVIRONMENT "NOCTURO_SETTINGS_DIR=${CMAKE_BINARY_DIR}/test-settings-store"
                    "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-data-home"
        ${ARG_PROPERTIES})
endfunction()

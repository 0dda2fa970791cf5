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
    # settings make their own temporary store. Nor do they find pictures a
    # user installed: the user's data folder is an empty one of the build
    # tree. The two variables come through `env` in front of every test
    # command: the ENVIRONMENT property cannot carry a list of two through
    # test discovery (its second entry would be read as a property name and
    # swallow the properties after it, RUN_SERIAL among them).
    set_target_properties(${ARG_NAME} PROPERTIES CROSSCOMPILING_EMULATOR
        "env;NOCTURO_SETTINGS_DIR=${CMAKE_BINARY_DIR}/test-settings-store;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-data-home")
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${ARG_LABEL}
        ${ARG_PROPERTIES})
endfunction()

# nocturo_add_fuzz_target(NAME name SOURCES ... LIBRARIES ...)
#
# A libFuzzer target, built only when NOCTURO_FUZZ is on (scripts/fuzz.sh
# makes that build tree with clang and runs every target over its corpus).
function(nocturo_add_fuzz_target)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBRARIES" ${ARGN})
    if(NOT NOCTURO_FUZZ)
        return()
    endif()
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBRARIES})
    target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
endfunction()

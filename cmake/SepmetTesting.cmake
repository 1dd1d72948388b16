# sepmet_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable; its tests are discovered when CTest runs. XDG_DATA_HOME points into
# the build tree, so that the window's audit trail of a test never lands in the user's own.
function(sepmet_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        SEPMET_SOURCE_DIR="${PROJECT_SOURCE_DIR}" SEPMET_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        ENVIRONMENT_MODIFICATION "XDG_DATA_HOME=set:${PROJECT_BINARY_DIR}/test-data-home")
endfunction()

# sepmet_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable; its tests are discovered when CTest runs.
function(sepmet_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        SEPMET_SOURCE_DIR="${PROJECT_SOURCE_DIR}" SEPMET_BINARY_DIR="${PROJECT_BINARY_DIR}")
    if(WIN32)
        target_compile_options(${name} PRIVATE
            -include ${PROJECT_SOURCE_DIR}/tests/support/windows_compat.h)
        target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/windows)
    endif()
    # Windows on the offscreen platform; LeakSanitizer told about the font library's lifetime
    # allocations (read only by sanitizer builds).
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        ENVIRONMENT_MODIFICATION
        "LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()

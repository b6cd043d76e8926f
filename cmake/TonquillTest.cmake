# One helper declares every test program: tq_add_test(NAME <name> LABEL unit|gui|device
#   SOURCES ... LIBS ...). Each program is a GoogleTest binary whose cases ctest discovers.
find_package(GTest REQUIRED)
include(GoogleTest)

function(tq_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
    if(NOT T_LABEL)
        set(T_LABEL unit)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} tq_testsupport GTest::gmock GTest::gtest)
    # Every test file sees the same printers for Qt strings: printers that differ between
    # files would break the one-definition rule for GoogleTest's printer templates.
    target_compile_options(${T_NAME} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h)
    set(T_PROPERTIES LABELS ${T_LABEL} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    if(T_LABEL STREQUAL "device")
        # One JACK dummy server at a time: jackd has few server slots.
        list(APPEND T_PROPERTIES RESOURCE_LOCK jackd)
    endif()
    gtest_discover_tests(${T_NAME}
        PROPERTIES ${T_PROPERTIES}
        DISCOVERY_TIMEOUT 60)
endfunction()

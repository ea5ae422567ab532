# sonabel_add_test(NAME SOURCES ... LIBRARIES ... [PLAIN | GUI] [LOCKS resource])
#   LOCKS: one CTest resource lock. "desktop" is what the session's test processes
#   share: the one null sink (two players at once would hear each other), the phone
#   signals on the one session bus (two links would see each other's phone come and go)
#   and the user's configuration files (one test's choices would be another's defaults).
#   PLAIN: no Qt at all (GoogleTest's own main); GUI: a QApplication main;
#   otherwise a QCoreApplication main.
# One test program per module; every test case is registered with CTest.
# Media fixtures are made once per CTest run by the "fixtures" setup test.
find_package(GTest REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Test)
include(GoogleTest)

set(SONABEL_FIXTURE_DIR ${CMAKE_BINARY_DIR}/fixtures)
add_test(NAME fixtures.generate
         COMMAND ${CMAKE_SOURCE_DIR}/tests/fixtures/make-fixtures.sh ${SONABEL_FIXTURE_DIR})
set_tests_properties(fixtures.generate PROPERTIES FIXTURES_SETUP media_fixtures)

function(sonabel_add_test name)
    cmake_parse_arguments(ARG "PLAIN;GUI" "" "SOURCES;LIBRARIES;LOCKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    sonabel_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock)
    if(ARG_PLAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    elseif(ARG_GUI)
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/guitestmain.cpp)
        target_link_libraries(${name} PRIVATE Qt6::Test)
    else()
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/testmain.cpp)
    endif()
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        SONABEL_FIXTURE_DIR="${SONABEL_FIXTURE_DIR}"
        SONABEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    set(locks)
    if(ARG_LOCKS)
        set(locks RESOURCE_LOCK "${ARG_LOCKS}")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES
            FIXTURES_REQUIRED media_fixtures
            # One variable only: a list here would shift the property pairs that follow.
            # scripts/test.sh sets the rest of the test environment.
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
            TIMEOUT 300
            LABELS ${name}
            ${locks})
endfunction()

# Native unit tests run directly; on Windows builds every test runs under Wine through the
# emulator wrapper, after a fixture has made and warmed the build's private Wine prefix.

if(WIN32)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(KRV_GTEST gtest)
else()
    find_package(GTest REQUIRED)
    set(KRV_GTEST GTest::gtest)
    include(GoogleTest)
endif()

add_library(krv_test_main STATIC ${CMAKE_SOURCE_DIR}/tests/common/test_main.cpp)
target_link_libraries(krv_test_main PUBLIC ${KRV_GTEST})
target_include_directories(krv_test_main PUBLIC ${CMAKE_SOURCE_DIR})

if(WIN32)
    add_test(NAME wine_up COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh up
                                  ${KRV_WINEPREFIX} ${KRV_WINEARCH})
    add_test(NAME wine_down COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh down
                                    ${KRV_WINEPREFIX} ${KRV_WINEARCH})
    set_tests_properties(wine_up PROPERTIES FIXTURES_SETUP wine)
    set_tests_properties(wine_down PROPERTIES FIXTURES_CLEANUP wine)
endif()

# krv_add_test(<name> <sources...> LIBS <libs...>)
function(krv_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE krv_test_main ${T_LIBS})
    if(WIN32)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# Portable unit tests: one executable per folder of tests/unit. They run natively; the
# Windows builds run them too only on request, since the Windows tests already drive the same
# code through the pages.
option(KRV_WINDOWS_UNIT_TESTS "Also build and run the portable unit tests under Wine" OFF)
set(KRV_UNIT_DIRS)
if(NOT WIN32 OR KRV_WINDOWS_UNIT_TESTS)
    file(GLOB KRV_UNIT_DIRS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/unit/*)
endif()
foreach(dir ${KRV_UNIT_DIRS})
    if(IS_DIRECTORY ${dir})
        get_filename_component(folder ${dir} NAME)
        file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
        # The Windows builds have no PNG or JPEG decoder to test; the printer application's
        # rules are Linux only, like the application.
        if(WIN32 AND folder STREQUAL "pictures")
            set(srcs)
        endif()
        set(libs krv_core krv_pictures krv_test_doubles)
        if(folder STREQUAL "printerapp")
            if(NOT TARGET krv_printerapp)
                set(srcs)
            endif()
            set(libs krv_printerapp)
        endif()
        if(srcs)
            krv_add_test(unit_${folder} SOURCES ${srcs} LIBS ${libs})
            if(folder STREQUAL "printerapp" AND KRV_PAPPL_LIBRARY)
                target_compile_definitions(unit_printerapp
                                           PRIVATE KRV_PAPPL_LIBRARY="${KRV_PAPPL_LIBRARY}")
            endif()
        endif()
    endif()
endforeach()

# The layers of the source folders (scripts/check-layers.sh), checked once, by the native build.
if(NOT WIN32)
    add_test(NAME layers COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh)
endif()

# The krv857 program run as a user runs it; the Windows build's program under Wine, without the
# cases that need POSIX devices, pipes or the PNG and JPEG libraries.
file(GLOB KRV_TOOL_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/tool/*.cpp)
if(WIN32)
    list(FILTER KRV_TOOL_TESTS EXCLUDE REGEX "_posix(_test)?\\.cpp$")
else()
    list(FILTER KRV_TOOL_TESTS EXCLUDE REGEX "_nt\\.cpp$")
endif()
krv_add_test(tool_test SOURCES ${KRV_TOOL_TESTS} LIBS krv_core krv_pictures)
add_dependencies(tool_test krv857)
target_compile_definitions(tool_test PRIVATE KRV857_TOOL="$<TARGET_FILE:krv857>")

if(WIN32)
    # Tests that drive the real pages: the Windows objects and the resources are linked in,
    # so the test program is the module whose templates the pages load.
    file(GLOB KRV_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
    list(FILTER KRV_WIN_TESTS EXCLUDE REGEX "host_test\\.cpp$")
    # The support code (file dialog answers, sheet harness) and the fake printer are linked
    # as objects into every test program, so the test's own winspool and file-dialog
    # functions always win over the system's import libraries.
    file(GLOB KRV_WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/support/*.cpp)
    add_library(krv_win_test_support OBJECT ${KRV_WIN_TEST_SUPPORT})
    target_link_libraries(krv_win_test_support PUBLIC krv_win krv_test_main krv_test_doubles)
    foreach(src ${KRV_WIN_TESTS})
        get_filename_component(name ${src} NAME_WE)
        krv_add_test(win_${name} SOURCES ${src} ${KRV_RC}
                     LIBS krv_win_test_support krv_fake_printer krv_win)
    endforeach()
    # The host run as a program with the built plug-in DLL, and its parts checked directly.
    krv_add_test(win_host_test SOURCES ${CMAKE_SOURCE_DIR}/tests/win/host_test.cpp
                 LIBS krv_host)
    add_dependencies(win_host_test krv857host krv857ui)
    # Tests of the built DLL through its exports only.
    file(GLOB KRV_DLL_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/dll/*_test.cpp)
    foreach(src ${KRV_DLL_TESTS})
        get_filename_component(name ${src} NAME_WE)
        krv_add_test(dll_${name} SOURCES ${src} LIBS ole32 uuid user32 comctl32)
        add_dependencies(dll_${name} krv857ui)
    endforeach()
endif()

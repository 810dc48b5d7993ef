# The plug-in DLL, its Windows object library (shared with the Windows tests) and the
# development host. Included only when cross-compiling for Windows.

krv_windows_sources(KRV_WIN_SOURCES)
list(FILTER KRV_WIN_SOURCES EXCLUDE REGEX "dll_main_win\\.cpp$")
add_library(krv_win OBJECT ${KRV_WIN_SOURCES})
target_include_directories(krv_win PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(krv_win PUBLIC krv_core user32 gdi32 comctl32 comdlg32 winspool ole32
                                     uuid shlwapi)

set(KRV_RC ${CMAKE_SOURCE_DIR}/res/krv857.rc)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/res")

add_library(krv857ui SHARED frame/dll_main_win.cpp ${KRV_RC} frame/krv857ui.def)
target_link_libraries(krv857ui PRIVATE krv_win)
set_target_properties(krv857ui PROPERTIES PREFIX "" OUTPUT_NAME krv857ui)
target_link_options(krv857ui PRIVATE -Wl,--enable-stdcall-fixup)

# The fake printer (the winspool functions over the test doubles): the Windows tests link its
# objects in place of the system's spooler, and the host points the DLL's imports at it.
add_library(krv_fake_printer OBJECT ${CMAKE_SOURCE_DIR}/tests/support/fake_printer_win.cpp)
target_link_libraries(krv_fake_printer PUBLIC krv_test_doubles)

# The development host: its parts are a library that the host program and its test link.
file(GLOB KRV_HOST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/*.cpp)
list(FILTER KRV_HOST_SOURCES EXCLUDE REGEX "host_main\\.cpp$")
add_library(krv_host STATIC ${KRV_HOST_SOURCES})
target_include_directories(krv_host PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(krv_host PUBLIC krv_fake_printer krv_core user32 gdi32 comctl32 comdlg32
                                      winspool ole32 uuid shlwapi)
add_executable(krv857host WIN32 ${CMAKE_SOURCE_DIR}/host/host_main.cpp)
target_link_libraries(krv857host PRIVATE krv_host)
target_link_options(krv857host PRIVATE -municode)

# Wine runs everything built here: the tests through CTest, the host through the scripts.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KRV_WINEARCH win64)
else()
    set(KRV_WINEARCH win32)
endif()
set(KRV_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_SOURCE_DIR}/scripts/wine-run;${KRV_WINEPREFIX};${KRV_WINEARCH})
